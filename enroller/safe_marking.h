// Marks controls safe for scripting and initialising, and sets the client's "site" marker.
#pragma once

#include <string>

#include "install_log.h"

namespace enroller {

// Looks the control's CLSID up through its ProgID and adds both safety categories to it.
void MarkControlSafe(InstallLog& log, const std::string& prog_id);

// False (after logging why) when the marker could not be written.
bool SetSiteMarker(InstallLog& log);

}  // namespace enroller
