// Substitution of "%name%" in description values from the string sections.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace installer {

// The string sections' entries in load order; later entries win.
using StringEntries = std::vector<std::pair<std::string, std::string>>;

// Replaces each "%name%" by the last loaded value of name (nothing when unknown), "%%" by
// "%"; the result is cut to max_chars.
std::string Substitute(const std::string& text, const StringEntries& strings, size_t max_chars);

// The "key=value" lines of a section's text (lines beginning with ";" are comments).
void AddStringSection(const std::string& section_text, StringEntries* strings);

}  // namespace installer
