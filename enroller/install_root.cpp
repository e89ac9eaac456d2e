#include "install_root.h"

#include <windows.h>

#include <cstring>

#include "comsupport/unique_handle.h"

namespace enroller {

namespace {

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zorvane.exe";

std::optional<std::string> ReadClientDirectory() {
  comsupport::UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;  // one byte spare keeps the text terminated
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  return std::string(buffer);
}

}  // namespace

std::optional<std::string> RootFromClientDirectory(const std::string& client_directory) {
  size_t slash = client_directory.find_last_of('\\');
  if (slash == std::string::npos || slash == 0) return std::nullopt;
  if (_stricmp(client_directory.c_str() + slash + 1, "program") != 0) return std::nullopt;
  return client_directory.substr(0, slash);
}

std::optional<std::string> FindInstallationRoot() {
  std::optional<std::string> directory = ReadClientDirectory();
  if (!directory) return std::nullopt;
  return RootFromClientDirectory(*directory);
}

}  // namespace enroller
