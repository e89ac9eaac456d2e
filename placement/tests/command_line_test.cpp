#include <gtest/gtest.h>

#include <string>

#include "command_line.h"
#include "placement_settings.h"

namespace {

using placement::ArgumentText;
using placement::SplitArguments;

TEST(CommandLine, ArgumentFollowsTheProgramQuotedOrNot) {
  EXPECT_EQ("\"C:\\V\\|x\"", ArgumentText("\"C:\\Apps\\Halvern Extensions\\Shelver.exe\" \"C:\\V\\|x\""));
  EXPECT_EQ("\"C:\\V\\|x\"", ArgumentText("Shelver.exe   \"C:\\V\\|x\""));
  EXPECT_EQ("", ArgumentText("\"C:\\Apps\\Shelver.exe\""));
  EXPECT_EQ("", ArgumentText("Shelver.exe"));
  EXPECT_EQ("", ArgumentText("\"unterminated program"));
}

TEST(CommandLine, SplitsAtTheFirstBarAndDropsTheQuotes) {
  auto split = SplitArguments("\"C:\\Cache\\Kelvane\\17\\| Display driver update\"");
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ("C:\\Cache\\Kelvane\\17\\", split->vessik_directory);
  EXPECT_EQ(" Display driver update", split->title_text) << "the leading blank belongs to the title";

  split = SplitArguments("\"C:\\V\\|A|B\"");
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ("C:\\V\\", split->vessik_directory);
  EXPECT_EQ("A|B", split->title_text);

  split = SplitArguments("\"C:\\V\\|\"");
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ("", split->title_text) << "a title without \"]\" arrives empty";
}

TEST(CommandLine, MalformedArgumentsGiveNothing) {
  EXPECT_FALSE(SplitArguments("").has_value());
  EXPECT_FALSE(SplitArguments("\"C:\\V\\ no bar\"").has_value());
  EXPECT_FALSE(SplitArguments("C:\\V\\|unquoted\"").has_value());
  auto cut = SplitArguments("\"C:\\V\\|Title cut short");
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ("Title cut short", cut->title_text) << "no closing quotation mark: the title keeps its last letter";
}

TEST(CommandLine, ArgumentsFarBeyondTheHandOverBufferStayWhole) {
  const std::string directory = "C:\\" + std::string(3000, 'd') + "\\";
  const std::string title = std::string(5000, 't');
  auto split = SplitArguments(ArgumentText("\"C:\\Shelver.exe\" \"" + directory + "|" + title + "\""));
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ(directory, split->vessik_directory);
  EXPECT_EQ(title, split->title_text);
}

TEST(Settings, MirrorFlagIsUpperCasedAndBothLoseTrailingWhiteSpace) {
  auto settings = placement::MakePlacementSettings(" D:\\Repo \t\r\n", "y ");
  EXPECT_EQ(" D:\\Repo", settings.target_directory) << "leading blanks stay";
  EXPECT_EQ("Y", settings.mirror_flag);
  EXPECT_TRUE(placement::MirrorTree(settings));
  EXPECT_FALSE(placement::MirrorTree(placement::MakePlacementSettings("D:\\Repo", "yes")));
  EXPECT_FALSE(placement::MirrorTree(placement::MakePlacementSettings("D:\\Repo", " Y")));
}

TEST(Settings, NullOrEmptyTargetDisablesPlacement) {
  EXPECT_TRUE(placement::PlacementDisabled(placement::MakePlacementSettings("NULL  ", "Y")));
  EXPECT_TRUE(placement::PlacementDisabled(placement::MakePlacementSettings(" \t", "")));
  EXPECT_TRUE(placement::PlacementDisabled(placement::MakePlacementSettings("", "")));
  EXPECT_FALSE(placement::PlacementDisabled(placement::MakePlacementSettings("D:\\NULL", "")));
}

}  // namespace
