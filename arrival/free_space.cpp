#include "free_space.h"

#include <windows.h>

namespace hookwell {

namespace {

constexpr char kWarningCaption[] = "Kelvane Warning";
constexpr char kWarningText[] =
    "The Kelvane channel has less than 12MB of free space.\n"
    "We recommend that you increase the channel disk space or\n"
    "delete old Mendlets to ensure the next available Mendlet is delivered.";

}  // namespace

std::int64_t CacheSpace::FreeBytes() const {
  // Both fit in 63 bits: the quota is one 32-bit count, the usage a sum of far fewer than
  // 2^31 of them.
  return static_cast<std::int64_t>(quota_) - static_cast<std::int64_t>(used_);
}

bool IsLowOnSpace(const CacheSpace& space) { return space.FreeBytes() < kLowSpaceThreshold; }

void ShowLowSpaceWarning() { ::MessageBoxA(nullptr, kWarningText, kWarningCaption, MB_OK | MB_ICONWARNING); }

bool WarnIfLowOnSpace(const CacheSpace& space) {
  if (!IsLowOnSpace(space)) return false;
  ShowLowSpaceWarning();
  return true;
}

}  // namespace hookwell
