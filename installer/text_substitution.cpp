#include "text_substitution.h"

#include "text_list.h"

namespace installer {

std::string Substitute(const std::string& text, const StringEntries& strings, size_t max_chars) {
  std::string result;
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find('%', at);
    if (open == std::string::npos) {
      result += text.substr(at);
      break;
    }
    result += text.substr(at, open - at);
    size_t close = text.find('%', open + 1);
    if (close == std::string::npos) {
      result += text.substr(open);
      break;
    }
    std::string name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      result += '%';
    } else {
      for (auto entry = strings.rbegin(); entry != strings.rend(); ++entry) {
        if (EqualsNoCase(entry->first, name)) {
          result += entry->second;
          break;
        }
      }
    }
    at = close + 1;
  }
  if (result.size() > max_chars) result.resize(max_chars);
  return result;
}

void AddStringSection(const std::string& section_text, StringEntries* strings) {
  size_t at = 0;
  while (at < section_text.size()) {
    size_t end = section_text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = section_text.size();
    std::string line = section_text.substr(at, end - at);
    at = end + 1;
    if (line.empty() || line[0] == ';') continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    strings->emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }
}

}  // namespace installer
