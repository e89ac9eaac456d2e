#include "settings_file.h"

#include <winsock2.h>
#include <windows.h>

namespace installer {

std::string SettingsFilePath() {
  char directory[MAX_PATH] = {};
  ::GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\Ostrel.ini";
}

std::string ReadSetting(const char* section, const char* key) {
  char value[260] = {};
  ::GetPrivateProfileStringA(section, key, "", value, sizeof value, SettingsFilePath().c_str());
  return value;
}

void WriteSetting(const char* section, const char* key, const std::string& value) {
  ::WritePrivateProfileStringA(section, key, value.c_str(), SettingsFilePath().c_str());
  // Flush the profile cache so that other programs read what was written.
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsFilePath().c_str());
}

void DeleteSettingsFile() {
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsFilePath().c_str());
  ::DeleteFileA(SettingsFilePath().c_str());
}

}  // namespace installer
