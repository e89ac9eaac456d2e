#include "comsupport/client_app_paths.h"

#include "comsupport/registry.h"

namespace comsupport {

const char kClientAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zorvane.exe";

std::optional<std::string> ReadClientAppPath(const char* value_name, DWORD max_bytes) {
  RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, kClientAppPathsKey, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  return key.ReadString(value_name, max_bytes, true);
}

}  // namespace comsupport
