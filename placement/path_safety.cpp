#include "path_safety.h"

#include <cctype>

namespace placement {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops trailing dots and blanks from a level, so "..", ". ." and ".. " all climb.
bool IsDotLevel(const std::string& level) {
  int dots = 0;
  for (char c : level) {
    if (c == '.') {
      ++dots;
    } else if (c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// "CON", "nul.txt", "COM1 " open a device wherever they appear.
bool IsDeviceName(const std::string& level) {
  std::string base = level.substr(0, level.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
      base == "CONOUT$") {
    return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

bool IsSafeLevel(const std::string& level) {
  for (char c : level) {
    if (c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return !IsDotLevel(level) && !IsDeviceName(level);
}

bool AllLevelsSafe(const std::string& path) {
  size_t start = 0;
  while (true) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (!IsSafeLevel(path.substr(start, end - start))) return false;
    if (end == path.size()) return true;
    start = end + 1;
  }
}

}  // namespace

bool IsSafeEntry(const std::string& entry) {
  if (!entry.empty() && IsSeparator(entry[0])) return false;
  return AllLevelsSafe(entry);
}

bool IsSafeTitlePath(const std::string& title_path) { return AllLevelsSafe(title_path); }

}  // namespace placement
