// The installer's settings file "Ostrel.ini" in the Windows directory.
#pragma once

#include <string>

namespace installer {

std::string SettingsFilePath();
std::string ReadSetting(const char* section, const char* key);
void WriteSetting(const char* section, const char* key, const std::string& value);
void DeleteSettingsFile();

}  // namespace installer
