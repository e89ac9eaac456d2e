// The controls' per-user settings under HKEY_CURRENT_USER\Software\Zorvane\Zorvane\Settings\.
#pragma once

#include <windows.h>

#include <string>

namespace controls {

constexpr char kSettingsKey[] = "Software\\Zorvane\\Zorvane\\Settings\\";

// Reads the DWORD value name of the control's settings subkey, creating the key if needed;
// a missing value is written as default_value and returned, one of another type reads as
// default_value and stays. FALSE
// only when the key cannot be opened.
BOOL ReadSettingDword(const std::string& subkey, const char* name, DWORD default_value, DWORD* value);

}  // namespace controls
