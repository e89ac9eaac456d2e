// Reads an extension log back for tests: the header, then each line's module and message
// with the time, level and line number checked and left out.
#pragma once

#include <string>
#include <vector>

struct LogContents {
  std::string header;
  // "<module> <message>" for each well-formed line; anything else as "MALFORMED: <line>".
  std::vector<std::string> messages;
};

// Throws when the file cannot be read.
LogContents ReadLog(const std::string& path);
