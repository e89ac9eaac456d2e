#include <gtest/gtest.h>

#include <string>

#include "comsupport/log_text.h"
#include "install_log.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::EscapeLogText;
using namespace testing_support;

TEST(LogEscape, ControlCharactersBecomeHexEscapes) {
  EXPECT_EQ("a\\x0Ab\\x0Dc\\x09d\\x1Be\\x7Ff\\x01", EscapeLogText("a\nb\rc\td\x1b" "e\x7f" "f\x01"));
  EXPECT_EQ("\\x00", EscapeLogText(std::string(1, '\0')));
  EXPECT_EQ("\\x1F ~", EscapeLogText("\x1f ~"));
}

TEST(LogEscape, PathsStayReadableAndEscapesStayUnambiguous) {
  EXPECT_EQ("C:\\Apps\\Zorvane\\Halvern Extensions\\boughs.dll",
            EscapeLogText("C:\\Apps\\Zorvane\\Halvern Extensions\\boughs.dll"));
  EXPECT_EQ("{6A1E0C3B-52D4-4E7A-9B1C-0000ABCDEF01}", EscapeLogText("{6A1E0C3B-52D4-4E7A-9B1C-0000ABCDEF01}"));
  // Text that merely looks like an escape is told apart from one.
  EXPECT_EQ("C:\\x5Cx0A.dll", EscapeLogText("C:\\x0A.dll"));
  EXPECT_EQ("C:\\X0A\\", EscapeLogText("C:\\X0A\\"));
  EXPECT_EQ("tail\\", EscapeLogText("tail\\"));
  // Letters of the ANSI code page above 127 are names, not controls.
  EXPECT_EQ("Gr\xfc\xdf" "e.dll", EscapeLogText("Gr\xfc\xdf" "e.dll"));
}

// Every message, whichever way it is written, reaches the file escaped: a value cannot end
// its line early nor start a forged one.
TEST(InstallLogFile, WritesEveryMessageEscapedOnItsOwnLine) {
  TempDir directory;
  const std::string path = directory / "install.log";
  {
    enroller::InstallLog log(path);
    ASSERT_TRUE(log.is_open());
    log.BeginSession();
    log.Line("Moving file C:\\root\\a\r\nJan  1 00:00:00  Finished Enroller\n.dll");
    log.Write("Error Registering dlls.\n");
    log.Line("Unable to create key CLSID\\{x\n}");
  }
  const std::string text = ReadFile(path);
  const std::string forged = "a\\x0D\\x0AJan  1 00:00:00  Finished Enroller\\x0A.dll\r\n";
  ASSERT_NE(std::string::npos, text.find(forged)) << text;
  const size_t continued = text.find("Error Registering dlls.\\x0A");
  ASSERT_NE(std::string::npos, continued) << text;
  // The unended message and the next one share a line: only the time prefix lies between.
  EXPECT_EQ(std::string::npos, text.substr(continued, text.find("Unable to create") - continued).find('\n')) << text;
  EXPECT_NE(std::string::npos, text.find("Unable to create key CLSID\\{x\\x0A}\r\n")) << text;
  // Every CR and LF on disk belongs to a line end that the log wrote itself.
  size_t line_ends = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r') {
      EXPECT_TRUE(at + 1 < text.size() && text[at + 1] == '\n') << "bare CR at " << at;
    }
    if (text[at] == '\n') {
      EXPECT_TRUE(at > 0 && text[at - 1] == '\r') << "bare LF at " << at;
    }
    line_ends += text[at] == '\n';
  }
  // Spacer, header, empty line; two lines of messages (one continued); spacer, footer, empty line.
  EXPECT_EQ(8u, line_ends) << text;
}

}  // namespace
