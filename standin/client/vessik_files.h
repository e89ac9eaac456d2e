// Writing a delivered package's files into its directory.
#pragma once

#include <string>
#include <vector>

#include "json_value.h"

namespace standin {

// files: {"relative\\name": "contents"}. A name that leaves the directory is refused
// (std::runtime_error) before anything is written.
void WriteVessikFiles(const std::string& directory, const Json& files);
long SizeOfFiles(const std::vector<std::string>& paths);

}  // namespace standin
