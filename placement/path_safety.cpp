#include "path_safety.h"

#include <windows.h>

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

// The part of a level that Windows matches against its device names: up to the first dot,
// without trailing blanks ("nul.txt", "COM1 ", "con .log" all open a device).
std::string DeviceStem(const std::string& level) {
  std::string stem = level.substr(0, level.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  return stem;
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9, and COM/LPT with the superscript
// digits 1, 2 and 3, which Windows also takes for devices; in any case.
bool IsDeviceStem(const std::wstring& stem) {
  std::wstring upper = stem;
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (upper == device) return true;
  }
  if (upper.size() != 4 || (upper.compare(0, 3, L"COM") != 0 && upper.compare(0, 3, L"LPT") != 0)) return false;
  const wchar_t digit = upper[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

std::wstring Widened(const std::string& text, UINT code_page) {
  wchar_t wide[16];
  int length = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide, 16);
  return std::wstring(wide, length > 0 ? length : 0);
}

// The name reaches Windows through the ANSI code page; the superscripts are also refused as the
// Western code page writes them (0xB9, 0xB2, 0xB3), whatever the code page of the day.
bool IsDeviceName(const std::string& level) {
  const std::string stem = DeviceStem(level);
  if (stem.empty() || stem.size() > 8) return false;
  return IsDeviceStem(Widened(stem, CP_ACP)) || IsDeviceStem(Widened(stem, 1252));
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
