#include "data_directory.h"

#include <windows.h>

#include <cstring>

#include "comsupport/unique_handle.h"

namespace proxywriter {

std::string DataDirectoryFromClientPath(const std::string& client_path) {
  std::string directory = client_path;
  size_t slash = directory.find_last_of('\\');
  if (slash != std::string::npos && _stricmp(directory.c_str() + slash + 1, "program") == 0) directory.resize(slash);
  return directory + "\\data";
}

std::optional<std::string> FindDataDirectory() {
  comsupport::UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zorvane.exe", 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;  // one byte spare keeps the text terminated
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  // An empty path would put the file at the root of the current drive.
  if (buffer[0] == '\0') return std::nullopt;
  return DataDirectoryFromClientPath(buffer);
}

}  // namespace proxywriter
