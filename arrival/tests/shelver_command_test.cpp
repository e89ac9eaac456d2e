#include <gtest/gtest.h>

#include <string>

#include "shelver_command.h"

namespace {

using namespace hookwell;

TEST(TitleText, IsWhatFollowsTheFirstBracket) {
  EXPECT_EQ(" Display driver update", TitleText("[X1] Display driver update"));
  EXPECT_EQ("", TitleText("[X1]"));
  EXPECT_EQ("B]C", TitleText("A]B]C"));
  EXPECT_EQ("", TitleText("No bracket at all"));
  EXPECT_EQ("", TitleText(""));
}

TEST(ShelverLocation, IsTwoLevelsAboveTheClientExecutable) {
  EXPECT_EQ("C:\\Apps\\Zorvane", BaseDirectoryOf("C:\\Apps\\Zorvane\\Bin\\Zorvane.exe"));
  EXPECT_EQ("C:", BaseDirectoryOf("C:\\program\\Zorvane.exe"));
  EXPECT_EQ("", BaseDirectoryOf("C:\\Zorvane.exe"));
  EXPECT_EQ("", BaseDirectoryOf("Zorvane.exe"));
  EXPECT_EQ("", BaseDirectoryOf(""));
}

TEST(ShelverCommandLine, QuotesTheProgramAndTheDirectoryBarTitleArgument) {
  EXPECT_EQ("\"C:\\Apps\\Zorvane\\Halvern Extensions\\Shelver.exe\" \"C:\\Cache\\Vessiks\\17\\| Display driver update\"",
            ShelverCommandLine("C:\\Apps\\Zorvane", "C:\\Cache\\Vessiks\\17\\", " Display driver update"));
  // No title text: the argument ends with the bar and the closing quotation mark.
  EXPECT_EQ("\"C:\\Z\\Halvern Extensions\\Shelver.exe\" \"D:\\V\\|\"", ShelverCommandLine("C:\\Z", "D:\\V\\", ""));
  // Client not registered: the program is looked for on the current drive.
  EXPECT_EQ("\"\\Halvern Extensions\\Shelver.exe\" \"D:\\V\\|T\"", ShelverCommandLine("", "D:\\V\\", "T"));
}

TEST(ShelverCommandLine, FitsItsBufferOnlyWithRoomForTheTerminatingZero) {
  const std::string fixed = ShelverCommandLine("C:\\Z", "D:\\V\\", "");
  const std::string longest = ShelverCommandLine("C:\\Z", "D:\\V\\", std::string(kCommandLineBufferSize - 1 - fixed.size(), 't'));
  ASSERT_EQ(kCommandLineBufferSize - 1, longest.size());
  EXPECT_TRUE(FitsCommandLineBuffer(longest));
  EXPECT_FALSE(FitsCommandLineBuffer(longest + "t"));
  EXPECT_FALSE(FitsCommandLineBuffer(std::string(5000, 'x')));
}

}  // namespace
