// The decimal 32-bit numbers that channel data keeps as texts.
#pragma once

#include <string>

namespace ravlin {

// A decimal number with optional sign and surrounding blanks, from -2147483648 up to 4294967295;
// values above 2147483647 keep their 32 bits (ids are unsigned). False for anything else.
bool ParseNumber32(const std::string& text, long& value);
std::string NumberText(long value);

}  // namespace ravlin
