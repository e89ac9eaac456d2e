// Placement where links lead out of the Vessik or the repository. The links are Unix symbolic
// links made by the test itself under Wine (testing/unix_link.h says how); Windows meets the same checks
// with NTFS symbolic links and junctions.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "copy_files.h"
#include "recorded_messages.h"
#include "shelver.h"
#include "testing/temp_dir.h"
#include "testing/unix_link.h"

namespace {

using placement::MakePlacementSettings;
using placement::PlacementResult;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

using placement_tests::CurrentDirectory;
using placement_tests::RecordedMessages;

// A Vessik at scratch\cache\vessik\, the repository at scratch\repo, and scratch\outside, which
// neither may reach: it holds secret.txt and victim.txt.
class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::CanMakeUnixLinks()) GTEST_SKIP() << "Unix symbolic links are made under Wine only";
    WriteFile(outside_ + "\\secret.txt", "not part of the package");
    WriteFile(outside_ + "\\victim.txt", "not to be overwritten");
    ::CreateDirectoryA(repository_.c_str(), nullptr);
  }
  ~LinkTest() override {
    ::SetCurrentDirectoryA(start_.c_str());
    // Before the scratch directory goes: its removal would follow a link to a directory.
    for (const std::string& link : links_) testing_support::RemoveUnixLink(link);
  }

  void Deliver(const std::string& file_list, const std::vector<std::string>& files) {
    WriteFile(vessik_ + "MyMendlet.dat", file_list);
    for (const auto& name : files) WriteFile(vessik_ + name, "content of " + name);
  }
  void Link(const std::string& link, const std::string& target) {
    ASSERT_TRUE(testing_support::MakeUnixLink(target, link)) << link << " -> " << target;
    links_.push_back(link);
  }
  PlacementResult Place(const std::string& mirror_flag, const std::string& title,
                        const std::string& repository = std::string(), const std::string& vessik = std::string()) {
    return placement::RunPlacement(
        MakePlacementSettings(repository.empty() ? repository_ : repository, mirror_flag),
        "\"" + (vessik.empty() ? vessik_ : vessik) + "|" + title + "\"", messages_);
  }
  // The one message shown: the copy failure of entry, from the Vessik into destination.
  void ExpectRefused(const std::string& entry, const std::string& destination) {
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("Unable to copy file " + vessik_ + "\\" + entry + " to " + destination + "\\" + entry +
                  " some files will not be placed in the Mendlet repository.",
              messages_.shown[0].text);
    EXPECT_EQ("Kelvane AutoPlace", messages_.shown[0].caption);
  }
  void ExpectOutsideUntouched() {
    EXPECT_EQ("not part of the package", ReadFile(outside_ + "\\secret.txt"));
    EXPECT_EQ("not to be overwritten", ReadFile(outside_ + "\\victim.txt"));
    WIN32_FIND_DATAA entry;
    int count = 0;
    HANDLE find = ::FindFirstFileA((outside_ + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") ++count;
      } while (::FindNextFileA(find, &entry));
      ::FindClose(find);
    }
    EXPECT_EQ(2, count) << "nothing new outside";
  }

  const std::string start_ = CurrentDirectory();
  TempDir scratch_;
  const std::string vessik_ = scratch_ / "cache\\vessik\\";
  const std::string repository_ = scratch_ / "repo";
  const std::string outside_ = scratch_ / "outside";
  RecordedMessages messages_;
  std::vector<std::string> links_;
};

TEST_F(LinkTest, AFileOrDirectoryOfTheVessikLinkedOutsideIsNotRead) {
  Deliver("first.txt\nleak.txt\nlast.txt\n", {"first.txt", "last.txt"});
  Link(vessik_ + "leak.txt", outside_ + "\\secret.txt");
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ExpectRefused("leak.txt", repository_);
  EXPECT_EQ("content of first.txt", ReadFile(repository_ + "\\first.txt"));
  EXPECT_FALSE(FileExists(repository_ + "\\leak.txt"));
  EXPECT_FALSE(FileExists(repository_ + "\\last.txt"));

  messages_.shown.clear();
  ::CreateDirectoryA((repository_ + "\\docs").c_str(), nullptr);
  Deliver("first.txt\ndocs\\secret.txt\n", {"first.txt"});
  Link(vessik_ + "docs", outside_);
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ExpectRefused("docs\\secret.txt", repository_);
  EXPECT_FALSE(FileExists(repository_ + "\\docs\\secret.txt"));
  ExpectOutsideUntouched();
}

TEST_F(LinkTest, AFileListLinkedOutsideIsNotRead) {
  WriteFile(outside_ + "\\list.txt", "secret.txt\n");
  ::CreateDirectoryA((scratch_ / "cache").c_str(), nullptr);
  ::CreateDirectoryA(vessik_.c_str(), nullptr);
  Link(vessik_ + "MyMendlet.dat", outside_ + "\\list.txt");
  EXPECT_EQ(PlacementResult::kNoFileList, Place("N", "T"));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ("Could not open " + vessik_ + "MyMendlet.dat.", messages_.shown[0].text);
}

TEST_F(LinkTest, ATargetFileLinkedOutsideIsNotWrittenThrough) {
  Deliver("first.txt\nvictim.txt\nlast.txt\n", {"first.txt", "victim.txt", "last.txt"});
  Link(repository_ + "\\victim.txt", outside_ + "\\victim.txt");
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ExpectRefused("victim.txt", repository_);
  EXPECT_FALSE(FileExists(repository_ + "\\last.txt"));

  // A link to where nothing is yet must not create the file there either.
  messages_.shown.clear();
  Deliver("planted.txt\n", {"planted.txt"});
  Link(repository_ + "\\planted.txt", outside_ + "\\planted.txt");
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ExpectRefused("planted.txt", repository_);
  ExpectOutsideUntouched();
}

TEST_F(LinkTest, ATargetDirectoryLinkedOutsideIsNotWrittenInto) {
  Deliver("first.txt\ndrivers\\audio.inf\n", {"first.txt", "drivers\\audio.inf"});
  Link(repository_ + "\\drivers", outside_);
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ExpectRefused("drivers\\audio.inf", repository_);
  ExpectOutsideUntouched();
}

TEST_F(LinkTest, AMirroredTitleLevelLinkedOutsideGetsNothing) {
  Deliver("first.txt\n", {"first.txt"});
  Link(repository_ + "\\Audio", outside_);
  EXPECT_EQ(PlacementResult::kStopped, Place("Y", "Audio/Video"));
  ExpectRefused("first.txt", repository_ + "\\Audio\\Video");
  ExpectOutsideUntouched();

  // The last level a link: nothing is made below it, nothing copied into it.
  messages_.shown.clear();
  Link(repository_ + "\\Tools", outside_);
  EXPECT_EQ(PlacementResult::kStopped, Place("Y", "Tools"));
  ExpectRefused("first.txt", repository_ + "\\Tools");
  ExpectOutsideUntouched();
}

// Links that stay inside are no reason to refuse: a repository or Vessik that is itself a link,
// a link inside the Vessik to another of its files, a title level linked to a directory of the
// repository.
TEST_F(LinkTest, LinksThatStayInsideAreFollowed) {
  const std::string real_repository = scratch_ / "disk\\Mendlets";
  ::CreateDirectoryA((scratch_ / "disk").c_str(), nullptr);
  ::CreateDirectoryA(real_repository.c_str(), nullptr);
  const std::string linked_repository = scratch_ / "Mendlets";
  Link(linked_repository, real_repository);
  Deliver("first.txt\nalias.txt\n", {"first.txt"});
  Link(vessik_ + "alias.txt", vessik_ + "first.txt");

  EXPECT_EQ(PlacementResult::kCompleted, Place("N", "T", linked_repository));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ("content of first.txt", ReadFile(real_repository + "\\first.txt"));
  EXPECT_EQ("content of first.txt", ReadFile(real_repository + "\\alias.txt"));

  EXPECT_EQ(PlacementResult::kCompleted, Place("Y", " Audio/Video", linked_repository + "\\"));
  EXPECT_EQ("content of first.txt", ReadFile(real_repository + "\\ Audio\\Video\\first.txt"));

  ::CreateDirectoryA((real_repository + "\\Shared").c_str(), nullptr);
  Link(real_repository + "\\Tools", real_repository + "\\Shared");
  EXPECT_EQ(PlacementResult::kCompleted, Place("Y", "Tools", linked_repository));
  EXPECT_EQ("content of first.txt", ReadFile(real_repository + "\\Shared\\first.txt"));

  const std::string linked_vessik = scratch_ / "cache\\current";
  Link(linked_vessik, scratch_ / "cache\\vessik");
  EXPECT_EQ(PlacementResult::kCompleted, Place("Y", "Again", linked_repository, linked_vessik + "\\"));
  EXPECT_EQ("content of first.txt", ReadFile(real_repository + "\\Again\\alias.txt"));
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
