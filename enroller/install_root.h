// Where the push client is installed: its App Paths "Path" names root\program.
#pragma once

#include <optional>
#include <string>

namespace enroller {

// The root for a client directory whose last component is "program" (any case); none otherwise.
std::optional<std::string> RootFromClientDirectory(const std::string& client_directory);

// Reads the client's App Paths entry; none when it is missing or not below a "program" folder.
std::optional<std::string> FindInstallationRoot();

}  // namespace enroller
