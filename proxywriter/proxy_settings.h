// The installer's proxy choice: section "ProxySettings" of "Ostrel.ini" in the Windows directory.
#pragma once

#include <string>

namespace proxywriter {

struct ProxySettings {
  std::string valid;  // the installer writes "TRUE" once the rest is usable
  std::string proxy;
  std::string port;
};

// Windows directory + "\Ostrel.ini".
std::string SettingsFilePath();

// Missing keys read as empty texts.
ProxySettings ReadProxySettings(const std::string& settings_file);

}  // namespace proxywriter
