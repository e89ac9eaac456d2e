#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "file_list.h"
#include "testing/temp_dir.h"

namespace {

using testing_support::TempDir;

// The entries of a list file holding bytes.
std::vector<std::string> Entries(const std::string& bytes) {
  TempDir scratch;
  const std::string path = scratch / "MyMendlet.dat";
  testing_support::WriteFile(path, bytes);
  placement::FileList list(comsupport::UniqueHandle(::CreateFileA(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  std::vector<std::string> entries;
  std::string entry;
  while (list.Next(entry)) entries.push_back(entry);
  return entries;
}

using Lines = std::vector<std::string>;

TEST(FileList, ReadsAsTextModeDoes) {
  EXPECT_EQ((Lines{"a", "b", "c"}), Entries("a\r\nb\nc"));
  EXPECT_EQ((Lines{"a", "", "b"}), Entries("a\n\nb\n")) << "a blank line is an entry, the last line feed ends a line";
  EXPECT_EQ((Lines{"a\rb", "c\r"}), Entries("a\rb\nc\r\r\n")) << "only a carriage return before a line feed goes";
  EXPECT_EQ((Lines{"a\r"}), Entries("a\r")) << "nor one that ends the file";
  EXPECT_EQ(Lines{}, Entries(""));
  EXPECT_EQ((Lines{std::string("a\0b", 3)}), Entries(std::string("a\0b", 3)));
}

TEST(FileList, CtrlZEndsTheList) {
  EXPECT_EQ((Lines{"first.txt", "second"}), Entries("first.txt\r\nsecond\x1Athird.txt\r\n"));
  EXPECT_EQ((Lines{"first.txt"}), Entries("first.txt\r\n\x1A\r\nlast.txt"));
  EXPECT_EQ((Lines{"first.txt\r"}), Entries("first.txt\r\x1A\n"));
  EXPECT_EQ(Lines{}, Entries("\x1A" "first.txt\n"));
}

TEST(FileList, LongListsAndLinesCrossTheReadBuffer) {
  std::string bytes;
  Lines expected;
  for (int i = 0; i < 20000; ++i) {
    expected.push_back("file" + std::to_string(i) + ".bin");
    bytes += expected.back() + "\r\n";
  }
  expected.push_back(std::string(100000, 'x'));
  bytes += expected.back();
  EXPECT_EQ(expected, Entries(bytes));
}

}  // namespace
