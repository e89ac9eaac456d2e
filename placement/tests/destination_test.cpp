#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "destination.h"
#include "testing/temp_dir.h"

namespace {

using placement::Destination;
using placement::MakePlacementSettings;
using placement::TitlePath;
using testing_support::TempDir;

TEST(Destination, SlashesInTheTitleStartLevelsAndDoubleSlashesBecomeUnderscores) {
  EXPECT_EQ("Audio\\Video", TitlePath("Audio/Video"));
  EXPECT_EQ("A_B", TitlePath("A//B"));
  EXPECT_EQ("A_\\B", TitlePath("A///B"));
  EXPECT_EQ("__", TitlePath("////"));
  EXPECT_EQ(" Display driver", TitlePath(" Display driver"));
}

TEST(Destination, OneTrailingBackslashOfTheTargetIsDropped) {
  EXPECT_EQ("D:\\Repo", Destination(MakePlacementSettings("D:\\Repo\\", "N"), "Audio\\Video"));
  EXPECT_EQ("D:\\Repo", Destination(MakePlacementSettings("D:\\Repo", ""), "Audio\\Video"));
  EXPECT_EQ("D:\\Repo\\Audio\\Video", Destination(MakePlacementSettings("D:\\Repo\\", "y "), "Audio\\Video"));
  EXPECT_EQ("D:\\Repo\\Audio\\Video", Destination(MakePlacementSettings("D:\\Repo", "Y"), "Audio\\Video"));
  EXPECT_EQ("D:\\Repo\\", Destination(MakePlacementSettings("D:\\Repo\\\\", "N"), ""));
  EXPECT_EQ("D:\\Repo\\", Destination(MakePlacementSettings("D:\\Repo", "Y"), "")) << "empty title";
}

std::string CurrentDirectory() {
  char directory[MAX_PATH * 2] = {};
  ::GetCurrentDirectoryA(sizeof directory, directory);
  return directory;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class CreateDestinationTest : public ::testing::Test {
 protected:
  ~CreateDestinationTest() override { ::SetCurrentDirectoryA(start_.c_str()); }
  TempDir scratch_;
  const std::string start_ = CurrentDirectory();
};

TEST_F(CreateDestinationTest, CreatesEveryLevelAndEndsInTheDeepest) {
  const std::string deepest = scratch_ / "Repo\\ Audio\\Video";
  placement::CreateDestination(scratch_ / "Repo", deepest);
  EXPECT_TRUE(IsDirectory(deepest)) << "a level may begin with a blank";
  EXPECT_EQ(deepest, CurrentDirectory());

  ::SetCurrentDirectoryA(start_.c_str());
  placement::CreateDestination(scratch_ / "Repo", deepest + "\\");
  EXPECT_EQ(deepest, CurrentDirectory()) << "existing levels and a trailing backslash are fine";

  placement::CreateDestination(scratch_ / "Repo", scratch_ / "Repo\\\\Doubled");
  EXPECT_TRUE(IsDirectory(scratch_ / "Repo\\Doubled"));
}

TEST_F(CreateDestinationTest, ALevelThatCannotBeMadeStopsTheWalkWhereItIs) {
  testing_support::WriteFile(scratch_ / "Repo\\Blocked", "a file where a directory should go");
  const std::string elsewhere = scratch_ / "Elsewhere";
  ::CreateDirectoryA(elsewhere.c_str(), nullptr);
  ::SetCurrentDirectoryA(elsewhere.c_str());

  placement::CreateDestination(scratch_ / "Repo", scratch_ / "Repo\\Blocked\\Inner\\Deep");

  EXPECT_FALSE(IsDirectory(elsewhere + "\\Inner")) << "the rest was created in the current directory";
  EXPECT_FALSE(IsDirectory(elsewhere + "\\Deep"));
  EXPECT_EQ(scratch_ / "Repo", CurrentDirectory());
}

}  // namespace
