// The rules that decide whether a page address is trusted, on their own: an address reduced to
// what a browser would really load (scheme, host, port, path segments), the match of a
// secure-list entry against it, and "inside a directory". Pure text rules; no registry, no COM.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace chanbind {

struct CanonicalAddress {
  std::wstring scheme;                // lower case, without ":"
  bool has_authority = false;         // host and port present (http, https, ftp, "//" forms)
  std::wstring host;                  // lower case, user info and a final "." dropped
  std::wstring port;                  // digits, empty when not given
  std::vector<std::wstring> segments; // decoded path levels, "." and ".." resolved, no empties
};

// The address as it would be loaded; none when it cannot be read safely (a host with characters
// no host has, a port that is not a number, no scheme). Backslashes count as "/", a drive or UNC
// path becomes a file: address, query and fragment are dropped.
std::optional<CanonicalAddress> CanonicaliseAddress(const std::wstring& address);

// Whether a secure-list entry ("*", or scheme ":" rest) admits the address. The entry matches
// only at a boundary of the address: the same host, then whole path levels.
bool SecureEntryMatches(const std::wstring& entry, const std::wstring& address);

// Whether the address lies inside the directory (a path or a file: URL).
bool AddressInside(const std::wstring& address, const std::wstring& directory);

// text with its %xx escapes decoded.
std::wstring PercentDecode(const std::wstring& text);

// A local path as a file: URL ("C:\a b\" -> "file:///C:/a b/"); URLs pass unchanged.
std::wstring PathToUrl(const std::wstring& path);

}  // namespace chanbind
