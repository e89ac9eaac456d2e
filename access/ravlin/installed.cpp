// ZRIsInstalled: the client's class is registered and its local server's file exists.
#include <string>

#include "comsupport/unique_handle.h"
#include "exports.h"

namespace {

// Replaces %NAME% references by the environment's values.
bool Expanded(std::string& text) {
  DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return false;
  std::string expanded(needed, '\0');
  DWORD written = ::ExpandEnvironmentStringsA(text.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) return false;
  expanded.resize(written - 1);
  text = expanded;
  return true;
}

bool ReadDefault(const std::string& path, std::string& value) {
  comsupport::UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
  char data[MAX_PATH * 2] = {};
  DWORD size = sizeof data - 1, type = 0;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  data[size < sizeof data ? size : sizeof data - 1] = '\0';
  value = data;
  if (type == REG_EXPAND_SZ && !Expanded(value)) return false;
  return !value.empty();
}

// The program a LocalServer32 value names: quoted, or the whole value.
std::string ServerFile(const std::string& command) {
  if (!command.empty() && command[0] == '"') {
    size_t end = command.find('"', 1);
    return command.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  return command;
}

bool IsInstalled() {
  std::string clsid, server;
  if (!ReadDefault("Zorvane\\CLSID", clsid)) return false;
  if (!ReadDefault("CLSID\\" + clsid + "\\LocalServer32", server)) return false;
  DWORD attributes = ::GetFileAttributesA(ServerFile(server).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

extern "C" int ZRIsInstalled() {
  return ravlin::Guarded([] { return IsInstalled() ? 1 : 0; });
}
