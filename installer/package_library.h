// The outside package extractor "zrgetex.dll" and its UnzipPackage(path, target, flag),
// loaded when a package step first needs it.
#pragma once

#include <string>

namespace installer {

// Loads the library from the search path, else from work_directory; false when neither has it.
bool UnzipPackage(const std::string& package, const std::string& target, int flag,
                  const std::string& work_directory, std::string* error);

}  // namespace installer
