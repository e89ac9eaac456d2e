// Reads the placement settings from the running Zorvane client: the Kelvane channel's
// variables "targetdirectory" and "mirrortreeflag".
#pragma once

#include "placement_settings.h"

namespace placement {

// Initialises COM for the calling thread for the time of the call. Throws
// comsupport::ComError (HRESULT, interface, the client's error text) when the client cannot
// be created or gives no Kelvane channel or variables; a variable that does not exist reads
// as empty.
PlacementSettings ReadPlacementSettings();

}  // namespace placement
