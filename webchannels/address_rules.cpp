#include "address_rules.h"

#include <cwctype>

namespace chanbind {
namespace {

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool IsDrivePath(const std::wstring& text) {
  return text.size() >= 3 && std::iswalpha(text[0]) && text[1] == L':' && (text[2] == L'\\' || text[2] == L'/');
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Percent-decoding; an encoded "/" stays encoded so that it cannot make a new path level.
std::wstring Decode(const std::wstring& text, bool keep_slash) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        const wchar_t decoded = static_cast<wchar_t>(high * 16 + low);
        if (keep_slash && (decoded == L'/' || decoded == L'\\')) {
          out += L"%2f";
        } else {
          out += decoded;
        }
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<std::wstring> PathSegments(const std::wstring& path) {
  std::vector<std::wstring> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'/', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring segment = Decode(path.substr(start, end - start), true);
    if (segment == L"..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != L".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  return segments;
}

bool UsesAuthority(const std::wstring& scheme, const std::wstring& rest) {
  if (scheme == L"file") return false;
  if (scheme == L"http" || scheme == L"https" || scheme == L"ftp" || scheme == L"gopher") return true;
  return rest.rfind(L"//", 0) == 0;
}

bool ValidHost(const std::wstring& host) {
  for (wchar_t c : host) {
    if (!(std::iswalnum(c) || c == L'-' || c == L'.' || c == L'_' || c == L'[' || c == L']' || c == L':')) return false;
  }
  return true;
}

bool SplitAuthority(const std::wstring& authority, CanonicalAddress* address) {
  std::wstring host = authority;
  const size_t at = host.rfind(L'@');
  if (at != std::wstring::npos) host = host.substr(at + 1);
  // A port follows the last ":" outside an IPv6 literal.
  const size_t bracket = host.rfind(L']');
  const size_t colon = host.rfind(L':');
  if (colon != std::wstring::npos && (bracket == std::wstring::npos || colon > bracket)) {
    address->port = host.substr(colon + 1);
    host = host.substr(0, colon);
    for (wchar_t c : address->port) {
      if (!std::iswdigit(c)) return false;
    }
    while (address->port.size() > 1 && address->port[0] == L'0') address->port.erase(0, 1);
  }
  host = Lower(Decode(host, false));
  while (!host.empty() && host.back() == L'.') host.pop_back();
  if (!ValidHost(host)) return false;
  address->host = host;
  return true;
}

std::wstring DefaultPort(const std::wstring& scheme) {
  if (scheme == L"http") return L"80";
  if (scheme == L"https") return L"443";
  if (scheme == L"ftp") return L"21";
  return L"";
}

bool SameText(const std::wstring& a, const std::wstring& b) { return Lower(a) == Lower(b); }

// Entry matches address: same scheme, host and (when the entry names one) port, and the entry's
// path levels are the address's first levels.
bool Admits(const CanonicalAddress& entry, const CanonicalAddress& address, bool entry_is_empty) {
  if (entry.scheme != address.scheme) return false;
  if (entry_is_empty) return true;  // "scheme:" alone admits the whole scheme
  if (entry.has_authority != address.has_authority) return false;
  if (entry.has_authority) {
    if (entry.host != address.host) return false;
    if (!entry.port.empty()) {
      const std::wstring wanted = entry.port, given = address.port.empty() ? DefaultPort(address.scheme) : address.port;
      if (wanted != given) return false;
    }
  }
  if (entry.segments.size() > address.segments.size()) return false;
  for (size_t i = 0; i < entry.segments.size(); ++i) {
    if (!SameText(entry.segments[i], address.segments[i])) return false;
  }
  return true;
}

}  // namespace

std::wstring PercentDecode(const std::wstring& text) { return Decode(text, false); }

std::wstring PathToUrl(const std::wstring& path) {
  std::wstring url;
  if (IsDrivePath(path)) {
    url = L"file:///" + path;
  } else if (path.rfind(L"\\\\", 0) == 0) {
    url = L"file:" + path;
  } else {
    return path;
  }
  for (auto& c : url) {
    if (c == L'\\') c = L'/';
  }
  return url;
}

std::optional<CanonicalAddress> CanonicaliseAddress(const std::wstring& given) {
  std::wstring text = PathToUrl(given);
  for (auto& c : text) {
    if (c == L'\\') c = L'/';
  }
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos || colon == 0) return std::nullopt;
  CanonicalAddress address;
  address.scheme = Lower(text.substr(0, colon));
  for (wchar_t c : address.scheme) {
    if (!(std::iswalnum(c) || c == L'+' || c == L'-' || c == L'.')) return std::nullopt;
  }
  std::wstring rest = text.substr(colon + 1);
  const size_t end = rest.find_first_of(L"?#");
  if (end != std::wstring::npos) rest = rest.substr(0, end);
  address.has_authority = UsesAuthority(address.scheme, rest);
  size_t start = rest.find_first_not_of(L'/');
  rest = start == std::wstring::npos ? std::wstring() : rest.substr(start);
  if (address.has_authority) {
    const size_t slash = rest.find(L'/');
    if (!SplitAuthority(rest.substr(0, slash), &address)) return std::nullopt;
    rest = slash == std::wstring::npos ? std::wstring() : rest.substr(slash);
  } else if (address.scheme == L"file" && Lower(rest).rfind(L"localhost/", 0) == 0) {
    rest = rest.substr(10);
  }
  address.segments = PathSegments(rest);
  if (address.scheme == L"file") {
    // "C|" is an old spelling of the drive "C:".
    if (!address.segments.empty() && address.segments[0].size() == 2 && address.segments[0][1] == L'|') {
      address.segments[0][1] = L':';
    }
  }
  return address;
}

bool SecureEntryMatches(const std::wstring& entry, const std::wstring& address) {
  if (entry == L"*") return true;
  const size_t colon = entry.find(L':');
  if (colon == std::wstring::npos || colon == 0) return false;
  auto page = CanonicaliseAddress(address);
  auto wanted = CanonicaliseAddress(entry);
  if (!page || !wanted) return false;
  const std::wstring rest = entry.substr(colon + 1);
  const bool empty = rest.find_first_not_of(L"/\\") == std::wstring::npos;
  return Admits(*wanted, *page, empty);
}

bool AddressInside(const std::wstring& address, const std::wstring& directory) {
  auto page = CanonicaliseAddress(address);
  auto folder = CanonicaliseAddress(PathToUrl(directory));
  if (!page || !folder || folder->segments.empty()) return false;
  return Admits(*folder, *page, false);
}

}  // namespace chanbind
