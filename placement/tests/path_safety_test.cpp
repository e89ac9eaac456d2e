#include <gtest/gtest.h>

#include <string>

#include "path_safety.h"

namespace {

using placement::IsSafeEntry;
using placement::IsSafeTitlePath;

TEST(PathSafety, OrdinaryEntriesPass) {
  for (const char* entry : {"setup.exe", "drivers\\audio.inf", "drivers/audio.inf", "..hidden", "name..",
                            "a.b.c", ".\\readme.txt", "console\\x", "COM10", "my file .txt", ""}) {
    EXPECT_TRUE(IsSafeEntry(entry)) << entry;
  }
}

TEST(PathSafety, EntriesThatLeaveTheirDirectoryAreRefused) {
  for (const char* entry : {"..", "..\\outside.txt", "sub\\..\\..\\outside.txt", "sub/../../outside.txt",
                            ".. \\outside.txt", "...\\outside.txt", ". .\\outside.txt", "sub\\..",
                            "\\windows\\win.ini", "/windows/win.ini", "\\\\server\\share\\x.txt",
                            "C:\\windows\\win.ini", "C:win.ini", "readme.txt:hidden", "readme.txt::$DATA",
                            "CON", "nul.txt", "sub\\aux", "com1", "LPT9.log", "CONOUT$", "bad\x01name",
                            "bad\tname"}) {
    EXPECT_FALSE(IsSafeEntry(entry)) << entry;
  }
}

TEST(PathSafety, TitleLevelsFollowTheSameRules) {
  for (const char* title : {" Display driver update", "Audio\\Video", "A_B", "", "Audio\\", "\\Audio"}) {
    EXPECT_TRUE(IsSafeTitlePath(title)) << title;
  }
  for (const char* title : {"..", "..\\..\\Windows", "Audio\\..\\..\\x", "C:\\Windows", "X1: update",
                            "Audio\\ ..", "nul", "Drivers\\PRN"}) {
    EXPECT_FALSE(IsSafeTitlePath(title)) << title;
  }
}

}  // namespace
