#include "url.h"

#include "text_list.h"

namespace installer {

std::optional<Url> ParseUrl(const std::string& text) {
  std::string rest = text;
  size_t scheme = rest.find("://");
  size_t first_slash = rest.find('/');
  if (scheme != std::string::npos && (first_slash == std::string::npos || scheme < first_slash)) {
    if (!EqualsNoCase(rest.substr(0, scheme), "http")) return std::nullopt;
    rest = rest.substr(scheme + 3);
  }
  Url url;
  size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  url.path = slash == std::string::npos ? "/" : rest.substr(slash);
  size_t at = authority.rfind('@');
  if (at != std::string::npos) {
    std::string login = authority.substr(0, at);
    authority = authority.substr(at + 1);
    size_t colon = login.find(':');
    url.user = login.substr(0, colon);
    if (colon != std::string::npos) url.password = login.substr(colon + 1);
  }
  size_t colon = authority.find(':');
  url.host = authority.substr(0, colon);
  if (colon != std::string::npos) {
    std::string port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    url.port = std::atoi(port.c_str());
    if (url.port <= 0 || url.port > 65535) return std::nullopt;
  }
  if (url.host.empty() || url.host.find_first_of(" \t\r\n") != std::string::npos) return std::nullopt;
  return url;
}

}  // namespace installer
