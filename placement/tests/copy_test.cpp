#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "comsupport/unique_handle.h"
#include "copy_files.h"
#include "recorded_messages.h"
#include "shelver.h"
#include "testing/box_thread.h"
#include "testing/dialog_driver.h"
#include "testing/temp_dir.h"

namespace {

using placement::MakePlacementSettings;
using placement::PlacementResult;
using placement::RunPlacement;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RemoveTree;
using testing_support::TempDir;
using testing_support::WriteFile;

using placement_tests::CurrentDirectory;
using placement_tests::RecordedMessages;

// Every file and directory below root, relative to it.
void Collect(const std::string& root, const std::string& relative, std::set<std::string>& found) {
  WIN32_FIND_DATAA entry;
  comsupport::UniqueFindHandle find(::FindFirstFileA((root + "\\" + relative + "*").c_str(), &entry));
  if (!find) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    found.insert(relative + name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Collect(root, relative + name + "\\", found);
  } while (::FindNextFileA(find.get(), &entry));
}

std::set<std::string> Tree(const std::string& root) {
  std::set<std::string> found;
  Collect(root, "", found);
  return found;
}

std::set<std::string> Added(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::set<std::string> added;
  for (const auto& path : after) {
    if (!before.count(path)) added.insert(path);
  }
  return added;
}

// A Vessik at scratch\cache\vessik\ with its files; the repository root is scratch\repo\root.
class PlacementTest : public ::testing::Test {
 protected:
  ~PlacementTest() override { ::SetCurrentDirectoryA(start_.c_str()); }

  void Deliver(const std::string& file_list, const std::vector<std::string>& files) {
    WriteFile(vessik_ + "MyMendlet.dat", file_list);
    for (const auto& name : files) WriteFile(vessik_ + name, "content of " + name);
  }
  PlacementResult Place(const std::string& mirror_flag, const std::string& title) {
    return RunPlacement(MakePlacementSettings(target_, mirror_flag), "\"" + vessik_ + "|" + title + "\"", messages_);
  }
  std::string Placed(const std::string& relative) { return ReadFile(target_ + "\\" + relative); }

  const std::string start_ = CurrentDirectory();
  TempDir scratch_;
  const std::string vessik_ = scratch_ / "cache\\vessik\\";
  const std::string target_ = scratch_ / "repo\\root";
  RecordedMessages messages_;
};

TEST_F(PlacementTest, FlatPlacesEveryListedFileInFileOrderWhateverTheLineEnds) {
  Deliver("setup.exe\r\nreadme.txt\nnotes.txt", {"setup.exe", "readme.txt", "notes.txt", "unlisted.txt"});
  EXPECT_EQ(PlacementResult::kCompleted, Place("N", " Audio/Video"));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ((std::set<std::string>{"setup.exe", "readme.txt", "notes.txt"}), Tree(target_));
  EXPECT_EQ("content of readme.txt", Placed("readme.txt"));
}

TEST_F(PlacementTest, MirrorPlacesBelowTheTitleTree) {
  Deliver("driver.inf\n", {"driver.inf"});
  EXPECT_EQ(PlacementResult::kCompleted, Place("y ", " Audio/Video//Codec"));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ("content of driver.inf", Placed(" Audio\\Video_Codec\\driver.inf"));
  EXPECT_EQ(target_ + "\\ Audio\\Video_Codec", CurrentDirectory());
}

TEST_F(PlacementTest, DisabledTargetPlacesNothingAndSaysNothing) {
  Deliver("driver.inf", {"driver.inf"});
  for (const char* target : {"NULL", "", "NULL \t"}) {
    const auto before = Tree(scratch_.path());
    EXPECT_EQ(PlacementResult::kDisabled,
              RunPlacement(MakePlacementSettings(target, "Y"), "\"" + vessik_ + "|T\"", messages_));
    EXPECT_EQ(before, Tree(scratch_.path())) << target;
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PlacementTest, MissingFileListIsReportedAndNothingCopied) {
  WriteFile(vessik_ + "driver.inf", "x");
  EXPECT_EQ(PlacementResult::kNoFileList, Place("N", "T"));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ("Could not open " + vessik_ + "MyMendlet.dat.", messages_.shown[0].text);
  EXPECT_EQ("Copy File", messages_.shown[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), messages_.shown[0].style);
  EXPECT_TRUE(Tree(target_).empty()) << "the destination is created, nothing is copied";
}

TEST_F(PlacementTest, AMissingOrBlankEntryStopsTheList) {
  Deliver("first.txt\n\nlast.txt\n", {"first.txt", "last.txt"});
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ("Unable to copy file " + vessik_ + "\\ to " + target_ +
                "\\ some files will not be placed in the Mendlet repository.",
            messages_.shown[0].text);
  EXPECT_EQ("Kelvane AutoPlace", messages_.shown[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), messages_.shown[0].style);
  EXPECT_EQ((std::set<std::string>{"first.txt"}), Tree(target_)) << "files copied before stay";

  messages_.shown.clear();
  Deliver("first.txt\nmissing.txt\nlast.txt", {"first.txt", "last.txt"});
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_NE(std::string::npos, messages_.shown[0].text.find(vessik_ + "\\missing.txt to " + target_ + "\\missing.txt"));
  EXPECT_FALSE(FileExists(target_ + "\\last.txt"));
}

// A blank entry names the Vessik directory, another a directory of the package, a third a file
// where the repository holds an older directory: none is a file to replace, so none may draw
// the write-access warning before its failure.
TEST_F(PlacementTest, EntriesThatAreDirectoriesFailWithoutTheWriteAccessWarning) {
  ::CreateDirectoryA((scratch_ / "repo").c_str(), nullptr);
  ::CreateDirectoryA(target_.c_str(), nullptr);
  ::CreateDirectoryA((target_ + "\\sub").c_str(), nullptr);
  ::CreateDirectoryA((target_ + "\\setup.exe").c_str(), nullptr);
  ::Sleep(1100);  // the repository's directories are older than everything in the Vessik
  WriteFile(vessik_ + "sub\\inner.txt", "inner");
  for (const std::string& entry : {std::string(), std::string("sub"), std::string("setup.exe")}) {
    SCOPED_TRACE("entry \"" + entry + "\"");
    messages_.shown.clear();
    Deliver("first.txt\r\n" + entry + "\r\nlast.txt\r\n", {"first.txt", "setup.exe", "last.txt"});
    EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("Unable to copy file " + vessik_ + "\\" + entry + " to " + target_ + "\\" + entry +
                  " some files will not be placed in the Mendlet repository.",
              messages_.shown[0].text);
    EXPECT_FALSE(FileExists(target_ + "\\last.txt"));
  }
}

TEST_F(PlacementTest, CtrlZEndsTheListAsTextModeReadsIt) {
  Deliver("first.txt\r\nsecond.txt\x1A\r\nthird.txt\r\n", {"first.txt", "second.txt", "third.txt"});
  EXPECT_EQ(PlacementResult::kCompleted, Place("N", "T"));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ((std::set<std::string>{"first.txt", "second.txt"}), Tree(target_));
}

TEST_F(PlacementTest, ReplacedFilesTakeTheSourcesBytesTimeAndProtection) {
  WriteFile(target_ + "\\driver.inf", std::string(5000, 'o'));
  ::Sleep(1100);
  Deliver("driver.inf\nreadme.txt", {"driver.inf", "readme.txt"});
  ASSERT_TRUE(::SetFileAttributesA((vessik_ + "readme.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(PlacementResult::kCompleted, Place("N", "T"));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ("content of driver.inf", Placed("driver.inf")) << "a longer old file is cut to the new length";
  WIN32_FILE_ATTRIBUTE_DATA source, target;
  ASSERT_TRUE(::GetFileAttributesExA((vessik_ + "readme.txt").c_str(), GetFileExInfoStandard, &source));
  ASSERT_TRUE(::GetFileAttributesExA((target_ + "\\readme.txt").c_str(), GetFileExInfoStandard, &target));
  EXPECT_EQ(0, ::CompareFileTime(&source.ftLastWriteTime, &target.ftLastWriteTime));
  EXPECT_TRUE(target.dwFileAttributes & FILE_ATTRIBUTE_READONLY);

  // Placed again, the write-protected copy is now an older file that cannot be replaced.
  ::Sleep(1100);
  ::SetFileAttributesA((vessik_ + "readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA((vessik_ + "readme.txt").c_str());  // a new source, created after the copy
  Deliver("readme.txt", {"readme.txt"});
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ASSERT_EQ(2u, messages_.shown.size());
  EXPECT_EQ(0u, messages_.shown[0].text.find("The Auto Place procedure can not gain write access"));
  EXPECT_EQ(0u, messages_.shown[1].text.find("Unable to copy file"));
  ::SetFileAttributesA((target_ + "\\readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PlacementTest, NewerTargetIsReplacedWithoutAWord) {
  Deliver("driver.inf", {"driver.inf"});
  ::Sleep(1100);  // creation times compare to the second
  WriteFile(target_ + "\\driver.inf", "newer local copy");
  EXPECT_EQ(PlacementResult::kCompleted, Place("N", "T"));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ("content of driver.inf", Placed("driver.inf"));
}

TEST_F(PlacementTest, OlderTargetThatCannotBeWrittenIsReportedThenEndsTheList) {
  WriteFile(target_ + "\\driver.inf", "older local copy");
  ::Sleep(1100);
  Deliver("first.txt\ndriver.inf\nlast.txt", {"first.txt", "driver.inf", "last.txt"});
  // Held open without write sharing: neither the write test nor the copy can open it.
  comsupport::UniqueHandle busy(::CreateFileA((target_ + "\\driver.inf").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(busy);

  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  busy.reset();

  const std::string source = vessik_ + "\\driver.inf";
  const std::string target = target_ + "\\driver.inf";
  ASSERT_EQ(2u, messages_.shown.size());
  EXPECT_EQ("The Auto Place procedure can not gain write access to replace an older file (" + target +
                ") with newer file (" + source + "). Please check file access permissions.",
            messages_.shown[0].text);
  EXPECT_EQ("Kelvane AutoPlace", messages_.shown[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), messages_.shown[0].style);
  EXPECT_EQ(0u, messages_.shown[1].text.find("Unable to copy file " + source + " to " + target + " "));
  EXPECT_EQ("older local copy", Placed("driver.inf"));
  EXPECT_EQ("content of first.txt", Placed("first.txt"));
  EXPECT_FALSE(FileExists(target_ + "\\last.txt"));
}

// Each hostile entry points at a real file outside the Vessik (scratch\cache\outside.txt) and
// would land outside the destination; it must be refused like a failed copy.
TEST_F(PlacementTest, EntriesLeavingTheVessikOrTheRepositoryAreRefused) {
  WriteFile(scratch_ / "cache\\outside.txt", "not part of the package");
  const std::string hostile[] = {"..\\outside.txt", "sub/../../outside.txt", ".. \\outside.txt",
                                 "first.txt:stream", scratch_ / "cache\\outside.txt", "\\halvern-tests",
                                 "nul", "..\\..\\cache\\outside.txt"};
  ::CreateDirectoryA((scratch_ / "repo").c_str(), nullptr);
  for (const std::string& entry : hostile) {
    SCOPED_TRACE(entry);
    messages_.shown.clear();
    Deliver("first.txt\n" + entry + "\nlast.txt\n", {"first.txt", "last.txt"});
    ::SetCurrentDirectoryA(start_.c_str());  // placement leaves it in the destination
    RemoveTree(target_);
    const auto before = Tree(scratch_.path());

    EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));

    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("Unable to copy file " + vessik_ + "\\" + entry + " to " + target_ + "\\" + entry +
                  " some files will not be placed in the Mendlet repository.",
              messages_.shown[0].text);
    EXPECT_EQ((std::set<std::string>{"repo\\root", "repo\\root\\first.txt"}), Added(before, Tree(scratch_.path())));
  }
}

TEST_F(PlacementTest, TitlesLeavingTheTargetAreRefusedBeforeAnyDirectoryIsMade) {
  Deliver("first.txt", {"first.txt"});
  for (const char* title : {" ../../escaped", "Audio/../../../escaped", "C:/escaped", " X1: update"}) {
    SCOPED_TRACE(title);
    messages_.shown.clear();
    const auto before = Tree(scratch_.path());
    EXPECT_EQ(PlacementResult::kUnsafeTitle, Place("Y", title));
    EXPECT_EQ(before, Tree(scratch_.path()));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(std::string("The Mendlet title (") + title + ") names a directory outside the Mendlet repository (" +
                  target_ + "); no files were placed.",
              messages_.shown[0].text);
    EXPECT_EQ("Kelvane AutoPlace", messages_.shown[0].caption);
  }
  // Flat placement does not use the title.
  messages_.shown.clear();
  EXPECT_EQ(PlacementResult::kCompleted, Place("N", " ../../escaped"));
  EXPECT_EQ("content of first.txt", Placed("first.txt"));
}

TEST_F(PlacementTest, BackslashesInTheTitleStayBelowTheTarget) {
  Deliver("first.txt", {"first.txt"});
  EXPECT_EQ(PlacementResult::kCompleted, Place("Y", "\\\\Escape/"));
  EXPECT_EQ("content of first.txt", Placed("Escape\\first.txt"));
}

TEST_F(PlacementTest, OverlongNamesFailAsCopiesWithoutHarm) {
  const std::string long_name = std::string(400, 'n') + ".txt";
  Deliver("first.txt\n" + long_name + "\n", {"first.txt"});
  EXPECT_EQ(PlacementResult::kStopped, Place("N", "T"));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_NE(std::string::npos, messages_.shown[0].text.find(long_name));

  messages_.shown.clear();
  const std::string long_title = std::string(3000, 't');
  EXPECT_EQ(PlacementResult::kStopped, Place("Y", long_title));
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_NE(std::string::npos, messages_.shown[0].text.find(target_ + "\\" + long_title + "\\first.txt"));
}

TEST_F(PlacementTest, MalformedArgumentPlacesNothing) {
  Deliver("first.txt", {"first.txt"});
  const auto before = Tree(scratch_.path());
  EXPECT_EQ(PlacementResult::kBadArguments,
            RunPlacement(MakePlacementSettings(target_, "N"), vessik_ + " no bar", messages_));
  EXPECT_EQ(before, Tree(scratch_.path()));
  EXPECT_TRUE(messages_.shown.empty());
}

// The real boxes, shown on a thread of this process and read back through the dialog driver.
using testing_support::BoxThread;

TEST(PlacementBoxes, CopyFailureAndMissingListShowTheirBoxes) {
  TempDir scratch;
  const std::string vessik = scratch / "vessik\\";
  placement::MessageBoxes boxes;

  placement::CopyResult result = placement::CopyResult::kCompleted;
  {
    BoxThread worker("Copy File",
                     [&] { result = placement::CopyListedFiles(vessik, scratch / "repo", scratch / "repo", boxes); });
    auto box = testing_support::AnswerDialog("Copy File", "OK", 300000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Could not open " + vessik + "MyMendlet.dat.", box->contents.message);
    EXPECT_STREQ("information", DialogIconName(box->contents.icon));
    EXPECT_EQ(std::vector<std::string>{"OK"}, box->contents.buttons);
    EXPECT_TRUE(box->pressed);
  }
  EXPECT_EQ(placement::CopyResult::kNoFileList, result);

  WriteFile(vessik + "MyMendlet.dat", "..\\secret.txt\n");
  WriteFile(scratch / "secret.txt", "secret");
  {
    BoxThread worker("Kelvane AutoPlace",
                     [&] { result = placement::CopyListedFiles(vessik, scratch / "repo", scratch / "repo", boxes); });
    auto box = testing_support::AnswerDialog("Kelvane AutoPlace", "OK", 300000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Unable to copy file " + vessik + "\\..\\secret.txt to " + scratch.path() +
                  "\\repo\\..\\secret.txt some files will not be placed in the Mendlet repository.",
              box->contents.message);
    EXPECT_STREQ("warning", DialogIconName(box->contents.icon));
    EXPECT_TRUE(box->pressed);
  }
  EXPECT_EQ(placement::CopyResult::kStopped, result);
}

}  // namespace
