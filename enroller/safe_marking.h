// Marks controls safe for scripting and initialising, and sets the client's "site" marker.
#pragma once

#include <windows.h>

#include <string>

#include "install_log.h"

namespace enroller {

// Looks the control's CLSID up through its ProgID and adds both safety categories to it.
void MarkControlSafe(InstallLog& log, const std::string& prog_id);

// Sets the marker's value: RegSetValueExA; tests pass one that fails, as no registry state
// makes the real call fail once the key is open.
using SetValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

// False (after logging why) when the marker could not be written.
bool SetSiteMarker(InstallLog& log, SetValueFunction set_value = ::RegSetValueExA);

}  // namespace enroller
