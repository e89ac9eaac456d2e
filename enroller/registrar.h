// Registers every library or control of a directory with the system's regsvr32.
#pragma once

#include <string>

#include "install_log.h"

namespace enroller {

// kind is a file extension without the dot ("dll", "ocx"). regsvr32's exit code is not examined.
void RegisterAll(InstallLog& log, const std::string& directory, const std::string& kind);

// The same with regsvr32 taken from system_directory: tests name a folder without one, as
// nothing takes the system's own away.
void RegisterAll(InstallLog& log, const std::string& directory, const std::string& kind,
                 const std::string& system_directory);

}  // namespace enroller
