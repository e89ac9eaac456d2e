#include "log_reader.h"

#include <regex>

#include "testing/temp_dir.h"

LogContents ReadLog(const std::string& path) {
  const std::string text = testing_support::ReadFile(path);
  // "19991122.143501 | 3 | ClientExt 237 $Revision:  $ message", each line ended by CR LF.
  static const std::regex line_format(R"(^\d{8}\.\d{6} \| 3 \| (\w+) \d+ \$Revision:  \$ (.*)\r$)");
  LogContents contents;
  size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos) {
      contents.messages.push_back("MALFORMED: (no line end) " + line);
      break;
    }
    if (first) {
      const bool ended = !line.empty() && line.back() == '\r';
      contents.header = ended ? line.substr(0, line.size() - 1) : "MALFORMED: " + line;
      first = false;
      continue;
    }
    std::smatch match;
    if (std::regex_match(line, match, line_format)) {
      contents.messages.push_back(match[1].str() + " " + match[2].str());
    } else {
      contents.messages.push_back("MALFORMED: " + line);
    }
  }
  return contents;
}
