#include "proxy_settings.h"

#include <windows.h>

namespace proxywriter {

namespace {

std::string ReadValue(const std::string& settings_file, const char* key) {
  char buffer[MAX_PATH] = {};
  ::GetPrivateProfileStringA("ProxySettings", key, "", buffer, MAX_PATH, settings_file.c_str());
  return buffer;
}

}  // namespace

std::string SettingsFilePath() {
  char directory[MAX_PATH] = {};
  UINT length = ::GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  return std::string(directory) + "\\Ostrel.ini";
}

ProxySettings ReadProxySettings(const std::string& settings_file) {
  return {ReadValue(settings_file, "Valid"), ReadValue(settings_file, "Proxy"), ReadValue(settings_file, "Port")};
}

}  // namespace proxywriter
