// Moves the root's files matching a pattern into the extension directory, logging each one.
#pragma once

#include <string>

#include "install_log.h"

namespace enroller {

// An existing file of the same name in the extension directory is left alone.
void MoveFiles(InstallLog& log, const std::string& root, const std::string& extension_directory,
               const std::string& pattern);

}  // namespace enroller
