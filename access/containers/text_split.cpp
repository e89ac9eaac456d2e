#include "text_split.h"

namespace ravlin {

std::vector<std::string> SplitNonEmpty(const char* text, char delimiter) {
  std::vector<std::string> pieces;
  if (!text) return pieces;
  const char* start = text;
  for (const char* p = text;; ++p) {
    if (*p == delimiter || *p == '\0') {
      if (p > start) pieces.emplace_back(start, p);
      if (*p == '\0') break;
      start = p + 1;
    }
  }
  return pieces;
}

}  // namespace ravlin
