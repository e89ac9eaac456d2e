// Text from outside (titles, paths, file and registry values, the client's error texts) as it
// may appear inside one line of a plain-text log: each control character (bytes 0x00 to 0x1F
// and 0x7F) becomes "\xNN" with two upper-case hexadecimal digits, so no carriage return or
// line feed can end the line and start a forged one. A backslash stays as it is, so paths keep
// their look, except before an "x", where it becomes "\x5C": every "\x" in a log then starts
// an escape.
#pragma once

#include <string>

namespace comsupport {

std::string EscapeLogText(const std::string& text);

}  // namespace comsupport
