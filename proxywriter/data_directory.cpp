#include "data_directory.h"

#include <windows.h>

#include <cstring>

#include "comsupport/client_app_paths.h"

namespace proxywriter {

std::string DataDirectoryFromClientPath(const std::string& client_path) {
  std::string directory = client_path;
  size_t slash = directory.find_last_of('\\');
  if (slash != std::string::npos && _stricmp(directory.c_str() + slash + 1, "program") == 0) directory.resize(slash);
  return directory + "\\data";
}

std::optional<std::string> FindDataDirectory() {
  std::optional<std::string> client_path = comsupport::ReadClientAppPath("Path", MAX_PATH);
  // An empty path would put the file at the root of the current drive.
  if (!client_path || client_path->empty()) return std::nullopt;
  return DataDirectoryFromClientPath(*client_path);
}

}  // namespace proxywriter
