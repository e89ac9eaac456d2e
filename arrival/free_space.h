// The Kelvane channel's free cache space and the warning shown when it runs low.
#pragma once

#include <cstdint>

namespace hookwell {

// Free space below this many bytes is reported to the user.
constexpr std::int64_t kLowSpaceThreshold = 12000000;

// Quota and usage of one channel's cache. The client reports byte counts as 32-bit values;
// they are taken as unsigned and summed in 64 bits, so quotas or totals past 2 GB neither
// wrap into a false warning nor hide a real one.
class CacheSpace {
 public:
  void SetQuota(long bytes) { quota_ = static_cast<std::uint32_t>(bytes); }
  void AddVessik(long bytes) { used_ += static_cast<std::uint32_t>(bytes); }

  // Negative when more is used than the quota allows.
  std::int64_t FreeBytes() const;

 private:
  std::uint64_t quota_ = 0;
  std::uint64_t used_ = 0;
};

bool IsLowOnSpace(const CacheSpace& space);

// The "Kelvane Warning" box, without owner; returns when the user closes it.
void ShowLowSpaceWarning();

// Shows the warning when space is low; true when it was shown.
bool WarnIfLowOnSpace(const CacheSpace& space);

}  // namespace hookwell
