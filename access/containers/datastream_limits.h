// Checks shared by the datastream's writers: what both text forms can carry.
#pragma once

#include <string>

namespace ravlin {

// The longest name or largest count written in 4 hex digits (or as a 16-bit count).
constexpr size_t kDatastreamMax16 = 0xFFFF;

// "object \"INFO\"": the element named in error texts, its name cut to a readable length.
std::string ElementLabel(const char* kind, const std::string& name);

bool CheckCount(size_t count, const char* counted, const std::string& owner, std::string& error);

}  // namespace ravlin
