// Where the Zorvane client is installed, from its App Paths registration:
// HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Zorvane.exe", whose
// default value is the client's executable and whose value "Path" is its directory.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace comsupport {

extern const char kClientAppPathsKey[];

// A value of the key (nullptr or "" for the default value): a string as stored, a 32-bit
// number in decimal. None when the key or value is missing, of another type, or longer than
// max_bytes (terminating zero included).
std::optional<std::string> ReadClientAppPath(const char* value_name, DWORD max_bytes);

}  // namespace comsupport
