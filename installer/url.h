// HTTP addresses as the installer takes them: [http://][user[:password]@]host[:port][/path].
#pragma once

#include <optional>
#include <string>

namespace installer {

struct Url {
  std::string user;
  std::string password;
  std::string host;
  int port = 80;
  std::string path = "/";
};

// None for another scheme, an empty host or a bad port.
std::optional<Url> ParseUrl(const std::string& text);

}  // namespace installer
