// "userconf.reg": a version-4 registry import file that points the client's communication
// settings at an HTTP proxy.
#pragma once

#include <string>

namespace proxywriter {

// A value escaped for a quoted string of a registry import file ("\" and quotation mark).
std::string EscapeRegString(const std::string& text);

// The file's text with line feeds only; the last line ends with one.
std::string UserconfText(const std::string& proxy, const std::string& port);

// Creates path with text, each line feed as CR LF. False (with *error set to the system
// error) when it cannot, notably when the file exists: it is never overwritten.
bool WriteNewTextFile(const std::string& path, const std::string& text, unsigned long* error);

}  // namespace proxywriter
