#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "free_space.h"
#include "testing/box_thread.h"
#include "testing/dialog_driver.h"

namespace {

using hookwell::CacheSpace;
using hookwell::IsLowOnSpace;
using testing_support::BoxThread;
using testing_support::DialogIcon;
using testing_support::AnswerDialog;

const char kCaption[] = "Kelvane Warning";
const char kText[] =
    "The Kelvane channel has less than 12MB of free space.\n"
    "We recommend that you increase the channel disk space or\n"
    "delete old Mendlets to ensure the next available Mendlet is delivered.";

// The byte counts exactly as the client reports them: 32-bit values.
CacheSpace Space(std::uint32_t quota, const std::vector<std::uint32_t>& vessiks) {
  CacheSpace space;
  space.SetQuota(static_cast<long>(quota));
  for (std::uint32_t size : vessiks) space.AddVessik(static_cast<long>(size));
  return space;
}

TEST(FreeSpace, WarnsBelowTwelveMillionBytes) {
  EXPECT_FALSE(IsLowOnSpace(Space(12000000, {})));
  EXPECT_TRUE(IsLowOnSpace(Space(11999999, {})));
  EXPECT_FALSE(IsLowOnSpace(Space(20000000, {4000000, 4000000})));
  EXPECT_TRUE(IsLowOnSpace(Space(20000000, {4000000, 4000001})));
  // The threshold is decimal: just under 12 x 1,048,576 bytes free is no warning.
  EXPECT_FALSE(IsLowOnSpace(Space(12582911, {})));
  // More used than the quota allows.
  EXPECT_EQ(-1000, Space(1000, {2000}).FreeBytes());
  EXPECT_TRUE(IsLowOnSpace(Space(1000, {2000})));
}

TEST(FreeSpace, QuotasAndUsageBeyondTwoGigabytesDoNotWrap) {
  // A 3 GB quota arrives as a negative 32-bit value; in 32-bit arithmetic the free space
  // came out negative and warned although 2.9 GB are free.
  CacheSpace large_quota = Space(3000000000u, {100000000});
  EXPECT_EQ(2900000000, large_quota.FreeBytes());
  EXPECT_FALSE(IsLowOnSpace(large_quota));
  // 2.5 GB used against a 100 MB quota: 32-bit arithmetic wrapped to 1.9 GB "free".
  CacheSpace overused = Space(100000000, {900000000, 800000000, 800000000});
  EXPECT_EQ(-2400000000, overused.FreeBytes());
  EXPECT_TRUE(IsLowOnSpace(overused));
  // The largest positive quota, nearly all used, and fully free.
  EXPECT_TRUE(IsLowOnSpace(Space(INT32_MAX, {INT32_MAX - 11999999u})));
  EXPECT_FALSE(IsLowOnSpace(Space(INT32_MAX, {INT32_MAX - 12000000u})));
  EXPECT_FALSE(IsLowOnSpace(Space(INT32_MAX, {})));
  EXPECT_FALSE(IsLowOnSpace(Space(UINT32_MAX, {UINT32_MAX - 12000000u})));
  EXPECT_TRUE(IsLowOnSpace(Space(UINT32_MAX, {UINT32_MAX, UINT32_MAX})));
}

TEST(FreeSpaceWarning, ShowsTheKelvaneWarningAt11999999FreeBytes) {
  bool shown = false;
  BoxThread warner(kCaption, [&] { shown = hookwell::WarnIfLowOnSpace(Space(12000000, {1})); });
  auto box = AnswerDialog(kCaption, "OK", 300000,
                          [&] { EXPECT_FALSE(warner.done()) << "the check returns only when the box is closed"; });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(kCaption, box->contents.caption);
  EXPECT_EQ(kText, box->contents.message);
  EXPECT_EQ(std::vector<std::string>{"OK"}, box->contents.buttons);
  EXPECT_STREQ("warning", DialogIconName(box->contents.icon));
  EXPECT_TRUE(box->pressed);
  warner.Join();
  EXPECT_TRUE(shown);
}

TEST(FreeSpaceWarning, ShowsNothingAt12000000FreeBytes) {
  bool shown = true;
  BoxThread warner(kCaption, [&] { shown = hookwell::WarnIfLowOnSpace(Space(12000001, {1})); });
  EXPECT_TRUE(testing_support::NoDialogFor(kCaption, 3000));
  warner.Join();
  EXPECT_FALSE(shown);
}

}  // namespace
