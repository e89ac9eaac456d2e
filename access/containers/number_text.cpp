#include "number_text.h"

#include <cstdio>

namespace ravlin {

bool ParseNumber32(const std::string& text, long& value) {
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end) return false;
  unsigned long long magnitude = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (negative) {
    if (magnitude > 0x80000000ull) return false;
    value = static_cast<long>(-static_cast<long long>(magnitude));
  } else {
    value = static_cast<long>(static_cast<unsigned long>(magnitude));
  }
  return true;
}

std::string NumberText(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "%ld", value);
  return text;
}

}  // namespace ravlin
