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

// Every name Windows opens as a device, wherever it stands: with an extension, trailing dots or
// blanks, in any case, and COM/LPT with the superscript digits (ANSI bytes 0xB9, 0xB2, 0xB3).
TEST(PathSafety, DeviceNamesAreRefusedInEveryForm) {
  const std::string devices[] = {"CON", "prn", "Aux", "nul", "CONIN$", "conout$", "COM0", "com1", "COM9", "LPT0",
                                 "lpt1", "LPT9", "COM\xB9", "com\xB2", "COM\xB3", "LPT\xB9", "lpt\xB2", "LPT\xB3"};
  const std::string forms[] = {"", ".txt", ".", "...", " ", "  .", " .log", ".tar.gz", ". . "};
  for (const std::string& device : devices) {
    for (const std::string& form : forms) {
      const std::string level = device + form;
      EXPECT_FALSE(IsSafeEntry(level)) << level;
      EXPECT_FALSE(IsSafeEntry("drivers\\" + level + "\\setup.exe")) << level;
      EXPECT_FALSE(IsSafeTitlePath(" Audio\\" + level)) << level;
      EXPECT_FALSE(IsSafeTitlePath(level + "\\Video")) << level;
    }
  }
  for (const char* name : {"COM", "LPT", "COM10", "LPT\xB9\xB9", "COM\xB4", "COM\xBC", "CONS", "NULL", "xCON",
                           "con-1", "AUX1", "CONIN", "\xB9" "COM"}) {
    EXPECT_TRUE(IsSafeEntry(name)) << name;
    EXPECT_TRUE(IsSafeTitlePath(name)) << name;
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
