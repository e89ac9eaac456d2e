// The library's messages to the user, from its string table, with the caption "Zorvane".
#pragma once

#include <windows.h>

#include <string>

namespace ravlin {

// The text of a string of the library's table; empty when it is missing.
std::string LoadMessage(UINT id);
// A message box with that text (the first "%s" replaced by argument when given).
int ShowMessage(HWND owner, UINT id, UINT style, const char* argument = nullptr);

}  // namespace ravlin
