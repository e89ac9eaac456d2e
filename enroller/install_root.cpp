#include "install_root.h"

#include <windows.h>

#include <cstring>

#include "comsupport/client_app_paths.h"

namespace enroller {

namespace {

// The value "Path" is read up to 260 bytes.
constexpr DWORD kMaximumPathBytes = MAX_PATH;

}  // namespace

std::optional<std::string> RootFromClientDirectory(const std::string& client_directory) {
  size_t slash = client_directory.find_last_of('\\');
  if (slash == std::string::npos || slash == 0) return std::nullopt;
  if (_stricmp(client_directory.c_str() + slash + 1, "program") != 0) return std::nullopt;
  return client_directory.substr(0, slash);
}

std::optional<std::string> FindInstallationRoot() {
  std::optional<std::string> directory = comsupport::ReadClientAppPath("Path", kMaximumPathBytes);
  if (!directory) return std::nullopt;
  return RootFromClientDirectory(*directory);
}

}  // namespace enroller
