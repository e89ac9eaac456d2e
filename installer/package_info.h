// "pkginfo.txt": the parts of a file served over HTTP, with their sizes and checksums.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace installer {

struct PackageInfo {
  std::vector<uint32_t> part_sizes;
  std::vector<int32_t> part_sums;
  int32_t total_sum = 0;
  uint64_t total_size = 0;
  static std::string PartName(size_t index);  // "file%03d.bin"
};

// Limits that keep a hostile or broken file from costing unbounded memory or time.
constexpr size_t kMaxPackageInfoBytes = 64 * 1024;
constexpr size_t kMaxParts = 1000;
constexpr uint32_t kMaxPartSize = 512u * 1024 * 1024;

// None, with the reason in *error, when the file is malformed or its counts or sizes are absurd.
std::optional<PackageInfo> ParsePackageInfo(const std::string& text, std::string* error);

}  // namespace installer
