#include "client_location.h"

#include <windows.h>

#include "comsupport/unique_handle.h"
#include "shelver_command.h"

namespace hookwell {

namespace {

constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zorvane.exe";
constexpr DWORD kMaximumValueBytes = 1024;

}  // namespace

std::string ClientExecutable() {
  comsupport::UniqueHkey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return std::string();
  }
  // One byte more than the largest value, so that a string always ends with a zero here.
  BYTE data[kMaximumValueBytes + 1] = {};
  DWORD size = kMaximumValueBytes;
  DWORD type = REG_NONE;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, data, &size) != ERROR_SUCCESS) return std::string();
  if (type == REG_SZ) return reinterpret_cast<const char*>(data);
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    ::CopyMemory(&number, data, sizeof number);
    return std::to_string(number);
  }
  return std::string();
}

std::string ClientBaseDirectory() { return BaseDirectoryOf(ClientExecutable()); }

}  // namespace hookwell
