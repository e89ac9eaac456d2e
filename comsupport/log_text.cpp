#include "comsupport/log_text.h"

namespace comsupport {

std::string EscapeLogText(const std::string& text) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const bool control = byte < 0x20 || byte == 0x7F;
    const bool backslash_before_x = byte == '\\' && at + 1 < text.size() && text[at + 1] == 'x';
    if (control || backslash_before_x) {
      escaped += "\\x";
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0xF];
    } else {
      escaped += static_cast<char>(byte);
    }
  }
  return escaped;
}

}  // namespace comsupport
