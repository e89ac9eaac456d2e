// The installer's message boxes: brought to the foreground, with the icon the style names.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

namespace installer {

int ShowBox(const std::string& text, const std::string& caption, UINT style, HWND owner = nullptr);
void ShowError(const std::string& text, const std::string& caption, HWND owner = nullptr);
// A text of the string table.
std::string ResourceString(UINT id);
// Runs a dialog of the resources whose buttons end it with their own id.
INT_PTR RunSimpleDialog(UINT id, HWND owner);

}  // namespace installer
