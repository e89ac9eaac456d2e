// Reads the placement settings from the running Zorvane client: the Kelvane channel's
// variables "targetdirectory" and "mirrortreeflag".
#pragma once

#include "placement_settings.h"

namespace placement {

// Initialises COM for the calling thread for the time of the call. Throws
// comsupport::ComError (HRESULT, interface, the client's error text) when the client cannot
// be created or gives no Kelvane channel or variables, and when a variable's value is VT_NULL
// or cannot be turned into text; a variable that does not exist or is VT_EMPTY reads as empty.
PlacementSettings ReadPlacementSettings();

}  // namespace placement
