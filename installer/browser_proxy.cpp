#include "browser_proxy.h"

#include <winsock2.h>
#include <windows.h>

#include <fstream>

#include "comsupport/registry.h"
#include "text_list.h"

namespace installer {

namespace {

using comsupport::RegistryKey;

std::string WithoutHttpPrefix(std::string host) {
  if (host.size() >= 7 && EqualsNoCase(host.substr(0, 7), "http://")) host.erase(0, 7);
  return host;
}

std::optional<BrowserProxy> FromProfileFile() {
  std::string profile = "default";
  if (auto key = RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\biff", KEY_READ)) {
    if (auto user = key.ReadString("CurrentUser", 260); user && !user->empty()) profile = *user;
  }
  auto main = RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", KEY_READ);
  if (!main) return std::nullopt;
  auto install = main.ReadString("Install Directory", 260);
  if (!install || install->empty()) return std::nullopt;
  std::string directory = *install;
  while (!directory.empty() && directory.back() == '\\') directory.pop_back();
  std::ifstream prefs(JoinPath(DirectoryOf(directory), "Users\\" + profile + "\\prefs.js"));
  if (!prefs) return std::nullopt;
  BrowserProxy proxy;
  bool have_port = false;
  std::string line;
  while (std::getline(prefs, line)) {
    if (line.find("\"network.proxy.http_port\"") != std::string::npos) {
      size_t comma = line.find(',');
      size_t close = line.find(')');
      if (comma != std::string::npos && close != std::string::npos && close > comma) {
        proxy.port = std::atoi(Trim(line.substr(comma + 1, close - comma - 1)).c_str());
        have_port = proxy.port > 0 && proxy.port < 65536;
      }
    } else if (line.find("\"network.proxy.http\"") != std::string::npos) {
      size_t comma = line.find(',');
      size_t open = comma == std::string::npos ? comma : line.find('"', comma);
      size_t close = open == std::string::npos ? open : line.find('"', open + 1);
      if (close != std::string::npos) proxy.host = WithoutHttpPrefix(line.substr(open + 1, close - open - 1));
    }
  }
  if (proxy.host.empty() || !have_port) return std::nullopt;
  return proxy;
}

std::optional<BrowserProxy> FromNavigatorSettings() {
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Proxy Information", KEY_READ);
  if (!key || key.ReadDword("Proxy Type").value_or(0) != 1) return std::nullopt;
  auto host = key.ReadString("HTTP_Proxy", 260);
  auto port = key.ReadString("HTTP_ProxyPort", 80, true);
  if (!host || host->empty() || !port) return std::nullopt;
  BrowserProxy proxy{WithoutHttpPrefix(*host), std::atoi(port->c_str())};
  if (proxy.port <= 0 || proxy.port > 65535) return std::nullopt;
  return proxy;
}

std::optional<BrowserProxy> FromInternetSettings() {
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", KEY_READ);
  if (!key || key.ReadDword("ProxyEnable").value_or(0) != 1) return std::nullopt;
  auto server = key.ReadString("ProxyServer", 512);
  if (!server || server->empty()) return std::nullopt;
  std::string text = WithoutHttpPrefix(*server);
  size_t colon = text.rfind(':');
  BrowserProxy proxy;
  proxy.host = text.substr(0, colon);
  if (colon != std::string::npos) proxy.port = std::atoi(text.c_str() + colon + 1);
  if (proxy.host.empty() || proxy.port <= 0 || proxy.port > 65535) return std::nullopt;
  return proxy;
}

}  // namespace

std::optional<BrowserProxy> FindBrowserProxy() {
  if (auto proxy = FromProfileFile()) return proxy;
  if (auto proxy = FromNavigatorSettings()) return proxy;
  return FromInternetSettings();
}

}  // namespace installer
