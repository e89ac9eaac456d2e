#include "url_split.h"

#include <windows.h>

#include <cctype>

namespace ravlin {

namespace {

bool BeginsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  size_t length = std::char_traits<char>::length(prefix);
  return text.size() >= at + length && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str() + at,
                                                        static_cast<int>(length), prefix,
                                                        static_cast<int>(length)) == CSTR_EQUAL;
}

bool IsSchemeText(const std::string& text, size_t end) {
  for (size_t i = 0; i < end; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != ' ') return false;
  }
  return true;
}

bool IsDrivePath(const std::string& url) {
  if (url.size() < 5) return false;
  if (url[1] == ':' && url[2] == '\\') return true;
  return (url[0] == '/' || url[0] == '"') && url[2] == ':' && url[3] == '\\';
}

}  // namespace

UrlParts SplitUrl(const std::string& url) {
  UrlParts parts;
  std::string rest = url;
  bool local = false;
  size_t scheme_end = url.find("://");
  if (scheme_end != std::string::npos && IsSchemeText(url, scheme_end)) {
    local = BeginsWithNoCase(url, 0, "file://");
    rest = url.substr(scheme_end + 3);
  } else {
    local = BeginsWithNoCase(url, 0, "file://") || (!url.empty() && url[0] == '"' && BeginsWithNoCase(url, 1, "file://")) ||
            IsDrivePath(url);
  }
  if (local) {
    parts.path = rest;
    return parts;
  }
  size_t slash = rest.find('/');
  if (slash == std::string::npos) {
    parts.server = rest;
    return parts;
  }
  parts.server = rest.substr(0, slash);
  std::string path = rest.substr(slash);
  size_t fragment = path.find('#');
  size_t escaped = path.find("%23");
  size_t cut = fragment < escaped ? fragment : escaped;
  parts.path = cut == std::string::npos ? path : path.substr(0, cut);
  return parts;
}

}  // namespace ravlin
