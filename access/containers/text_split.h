// Splits a text at a delimiter into its non-empty pieces (category and keyword lists use ";").
#pragma once

#include <string>
#include <vector>

namespace ravlin {

std::vector<std::string> SplitNonEmpty(const char* text, char delimiter);

}  // namespace ravlin
