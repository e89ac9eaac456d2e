#include "package_info.h"

#include <cstdio>
#include <map>

#include "text_list.h"

namespace installer {

std::string PackageInfo::PartName(size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "file%03u.bin", static_cast<unsigned>(index));
  return name;
}

namespace {

// Decimal with an optional "-"; false for anything else or a number out of 64-bit range.
bool ParseNumber(const std::string& text, int64_t* value) {
  size_t at = 0;
  bool negative = false;
  if (at < text.size() && text[at] == '-') {
    negative = true;
    ++at;
  }
  if (at == text.size()) return false;
  int64_t result = 0;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
    if (result > (INT64_MAX - 9) / 10) return false;
    result = result * 10 + (text[at] - '0');
  }
  *value = negative ? -result : result;
  return true;
}

using Section = std::map<std::string, std::string>;

std::map<std::string, Section> ParseSections(const std::string& text) {
  std::map<std::string, Section> sections;
  std::string current;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() > 399) line.resize(399);
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    if (line[first] == '[') {
      size_t close = line.find(']', first);
      current = line.substr(first + 1, close == std::string::npos ? std::string::npos : close - first - 1);
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    sections[current][Trim(line.substr(0, equals))] = Trim(line.substr(equals + 1));
  }
  return sections;
}

}  // namespace

std::optional<PackageInfo> ParsePackageInfo(const std::string& text, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<PackageInfo> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (text.size() > kMaxPackageInfoBytes) return fail("package information too large");
  auto sections = ParseSections(text);
  const Section& files = sections["files"];
  const Section& sums = sections["sums"];
  PackageInfo info;
  for (size_t index = 0;; ++index) {
    auto size = files.find(PackageInfo::PartName(index));
    if (size == files.end()) break;
    if (index >= kMaxParts) return fail("too many parts");
    int64_t bytes = 0;
    if (!ParseNumber(size->second, &bytes) || bytes <= 0 || bytes > kMaxPartSize) return fail("bad part size");
    auto sum = sums.find(PackageInfo::PartName(index));
    int64_t checksum = 0;
    if (sum == sums.end() || !ParseNumber(sum->second, &checksum) || checksum < INT32_MIN || checksum > INT32_MAX)
      return fail("missing or bad part checksum");
    info.part_sizes.push_back(static_cast<uint32_t>(bytes));
    info.part_sums.push_back(static_cast<int32_t>(checksum));
    info.total_size += static_cast<uint64_t>(bytes);
  }
  if (info.part_sizes.empty()) return fail("no parts");
  for (size_t index = 0; index + 1 < info.part_sizes.size(); ++index) {
    if (info.part_sizes[index] != info.part_sizes[0]) return fail("parts of unequal size");
  }
  if (info.part_sizes.back() > info.part_sizes[0]) return fail("last part larger than the others");
  auto total = sums.find("total_sum");
  int64_t total_sum = 0;
  if (total == sums.end() || !ParseNumber(total->second, &total_sum) || total_sum < INT32_MIN || total_sum > INT32_MAX)
    return fail("missing or bad total checksum");
  info.total_sum = static_cast<int32_t>(total_sum);
  return info;
}

}  // namespace installer
