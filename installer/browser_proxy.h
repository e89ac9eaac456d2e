// The proxy the user's browser is set to use: the Netscape profile file, Netscape's registry
// settings, then Internet Explorer's.
#pragma once

#include <optional>
#include <string>

namespace installer {

struct BrowserProxy {
  std::string host;
  int port = 80;
};

std::optional<BrowserProxy> FindBrowserProxy();

}  // namespace installer
