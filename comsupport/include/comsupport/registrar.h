// Runs a module's registry script (a "REGISTRY" resource) through the system's ATL registrar
// in atl.dll, with %MODULE% and any further replacements.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "comsupport/this_module.h"

namespace comsupport {

using Replacements = std::vector<std::pair<std::string, std::string>>;

// module_path: the file holding the script; %MODULE% is set to it. Returns the registrar's
// HRESULT (REGDB_E_CLASSNOTREG when the system has no registrar).
HRESULT RunRegistryScript(const std::string& module_path, UINT resource_id, bool do_register,
                          const Replacements& replacements = {});

}  // namespace comsupport
