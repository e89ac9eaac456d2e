#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "qm/qm_buffer.h"

namespace {

std::string Bytes(const QMBuffer& buffer) {
  return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize());
}

TEST(QMBufferTest, TextTakesLengthPlusNulAndSetSizeKeepsOnlyThePrefix) {
  QMBuffer buffer;
  ASSERT_TRUE(buffer.SetText("abc"));
  EXPECT_EQ(buffer.GetSize(), 3);
  EXPECT_EQ(std::memcmp(buffer.GetData(), "abc\0", 4), 0);

  ASSERT_TRUE(buffer.SetSize(2));
  EXPECT_EQ(buffer.GetSize(), 2);
  EXPECT_EQ(Bytes(buffer), "ab");
  // The byte past the size is the buffer's own zero, so the data still reads as a text.
  EXPECT_STREQ(buffer.GetText(), "ab");
}

TEST(QMBufferTest, GrowingZeroFillsAndSizesBelowOneRelease) {
  QMBuffer buffer(4);
  EXPECT_EQ(Bytes(buffer), std::string(4, '\0'));
  ASSERT_TRUE(buffer.SetBytes("xyz", 3));
  ASSERT_TRUE(buffer.SetSize(6));
  EXPECT_EQ(Bytes(buffer), std::string("xyz\0\0\0", 6));

  ASSERT_TRUE(buffer.SetSize(0));
  EXPECT_EQ(buffer.GetData(), nullptr);
  EXPECT_EQ(buffer.GetSize(), 0);
  buffer.SetText("q");
  buffer.SetSize(-5);
  EXPECT_EQ(buffer.GetData(), nullptr);
  EXPECT_STREQ(buffer.GetText(), "");
}

TEST(QMBufferTest, ShortenOnlyLowersAndNullTextEmpties) {
  QMBuffer buffer;
  buffer.SetText("hello");
  unsigned char* data = buffer.GetData();
  buffer.Shorten(10);
  EXPECT_EQ(buffer.GetSize(), 5);
  buffer.Shorten(2);
  EXPECT_EQ(buffer.GetSize(), 2);
  EXPECT_EQ(buffer.GetData(), data) << "shortening keeps the data where it is";
  EXPECT_STREQ(buffer.GetText(), "he");

  buffer.SetText(nullptr);
  EXPECT_EQ(buffer.GetSize(), 0);
  EXPECT_EQ(buffer.GetData(), nullptr);

  // An empty text still takes its NUL: size 0, data present.
  ASSERT_TRUE(buffer.SetText(""));
  EXPECT_EQ(buffer.GetSize(), 0);
  ASSERT_NE(buffer.GetData(), nullptr);
  EXPECT_EQ(buffer.GetData()[0], 0);
  EXPECT_STREQ(buffer.GetText(), "");
}

TEST(QMBufferTest, FailedAllocationLeavesAnEmptyBuffer) {
  QMBuffer buffer;
  buffer.SetText("kept until the failure");
  // More than a 32-bit process can allocate.
  EXPECT_FALSE(buffer.SetSize(0x7FFFFFF0));
  EXPECT_EQ(buffer.GetSize(), 0);
  EXPECT_EQ(buffer.GetData(), nullptr);
  buffer.SetText("x");
  EXPECT_FALSE(buffer.SetSize(LONG_MAX));
  EXPECT_EQ(buffer.GetSize(), 0);
}

TEST(QMBufferTest, CopiesAreDeepAndSelfCopiesKeepTheData) {
  QMBuffer original;
  original.SetText("alpha");
  QMBuffer copy(original);
  original.SetText("beta");
  EXPECT_STREQ(copy.GetText(), "alpha");
  copy = copy;
  EXPECT_STREQ(copy.GetText(), "alpha");
  copy = original;
  EXPECT_STREQ(copy.GetText(), "beta");
  EXPECT_NE(copy.GetData(), original.GetData());

  // From its own data: the source stays readable until the copy is made.
  copy.SetBytes(copy.GetData() + 1, 3);
  EXPECT_STREQ(copy.GetText(), "eta");

  // A text long enough that a released block would no longer hold it.
  const std::string text = "the quick brown fox jumps over the lazy dog, twice over";
  copy.SetText(text.c_str());
  ASSERT_TRUE(copy.SetText(copy.GetText() + 4));
  EXPECT_EQ(copy.GetSize(), static_cast<long>(text.size() - 4));
  EXPECT_EQ(Bytes(copy), text.substr(4));
  ASSERT_TRUE(copy.SetText(copy.GetText()));
  EXPECT_EQ(Bytes(copy), text.substr(4));
}

}  // namespace
