// The push client's data directory, beside the "program" folder its App Paths entry names.
#pragma once

#include <optional>
#include <string>

namespace proxywriter {

// "C:\Apps\Zorvane\Program" and "C:\Apps\Zorvane" both give "C:\Apps\Zorvane\data".
std::string DataDirectoryFromClientPath(const std::string& client_path);

// None when the App Paths entry or its "Path" cannot be read, or the path is empty.
std::optional<std::string> FindDataDirectory();

}  // namespace proxywriter
