#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "install_root.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace testing_support;
using ::testing::ElementsAreArray;

const char kLogPath[] = "c:\\KelvaneInstall.log";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zorvane.exe";
const char kSiteKey[] = "Software\\Zorvane\\Zorvane\\IE\\Secure";
const char kScriptingSafe[] = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char kInitialisingSafe[] = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
// Stands for a correct time prefix in expected log lines.
const char kStamp[] = "<time>  ";
const std::string kSpacer(17, ' ');

TEST(InstallationRoot, IsTheParentOfAProgramFolderInAnyCase) {
  using enroller::RootFromClientDirectory;
  EXPECT_EQ("C:\\Apps\\Zorvane", RootFromClientDirectory("C:\\Apps\\Zorvane\\Program").value_or("-"));
  EXPECT_EQ("C:\\Apps", RootFromClientDirectory("C:\\Apps\\PROGRAM").value_or("-"));
  EXPECT_EQ("D:", RootFromClientDirectory("D:\\program").value_or("-"));
  EXPECT_FALSE(RootFromClientDirectory("C:\\Apps\\Zorvane\\bin"));
  EXPECT_FALSE(RootFromClientDirectory("C:\\Apps\\Zorvane\\Program\\"));
  EXPECT_FALSE(RootFromClientDirectory("C:\\Apps\\Programs"));
  EXPECT_FALSE(RootFromClientDirectory("Program"));
  EXPECT_FALSE(RootFromClientDirectory(""));
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// Every prefix ctime could have given while the program ran.
std::set<std::string> TimePrefixesBetween(std::time_t from, std::time_t to) {
  std::set<std::string> prefixes;
  for (std::time_t moment = from; moment <= to; ++moment) prefixes.insert(std::string(std::ctime(&moment)).substr(4, 15));
  return prefixes;
}

// Names a wildcard search returns, in its order: the order the program meets them too.
std::vector<std::string> Search(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

std::vector<std::string> SessionStart() { return {kSpacer, "****** Starting new session, version: 1.02 ******", ""}; }
std::vector<std::string> SessionEnd() { return {kSpacer, "****** Ending current session ******", ""}; }

class EnrollerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = installation_.path() + "\\Zorvane";
    extensions_ = root_ + "\\Halvern Extensions";
    ASSERT_TRUE(::CreateDirectoryA(root_.c_str(), nullptr));
    for (const char* prog_id : {"Zorvane.BoughsCtrl.1", "Zorvane.StoryrollCtrl.1", "Zorvane.SynopsisCtrl.1",
                                "Zorvane.PreplacedCtrl.1"}) {
      ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, prog_id)) << prog_id << " is registered before the test";
      owned_prog_ids_.push_back(prog_id);
    }
  }

  void TearDown() override {
    for (const std::string& prog_id : owned_prog_ids_) {
      if (auto clsid = ReadString(HKEY_CLASSES_ROOT, prog_id + "\\CLSID"); clsid && !clsid->empty())
        DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\" + *clsid);
      DeleteTree(HKEY_CLASSES_ROOT, prog_id);
    }
  }

  void CopyBuilt(const std::string& built, const std::string& destination) {
    ASSERT_TRUE(::CopyFileA(BuildOutput(built).c_str(), destination.c_str(), TRUE)) << destination;
  }

  // Runs the program on a fresh log; its lines with correct time prefixes shown as kStamp.
  std::vector<std::string> RunEnroller() {
    ::DeleteFileA(kLogPath);
    std::time_t from = std::time(nullptr);
    EXPECT_EQ(0u, RunProgram(Quote(BuildOutput("Enroller.exe")), 300000));
    std::set<std::string> prefixes = TimePrefixesBetween(from, std::time(nullptr));
    std::vector<std::string> lines = Split(ReadFile(kLogPath), "\r\n");
    EXPECT_EQ("", lines.back()) << "the log ends with a line end";
    lines.pop_back();
    for (std::string& line : lines) {
      if (line.size() >= 17 && prefixes.count(line.substr(0, 15)) && line.compare(15, 2, "  ") == 0)
        line = kStamp + line.substr(17);
    }
    return lines;
  }

  std::string Clsid(const std::string& prog_id) {
    return ReadString(HKEY_CLASSES_ROOT, prog_id + "\\CLSID").value_or("(" + prog_id + " not registered)");
  }

  TempDir installation_;
  std::string root_;
  std::string extensions_;
  std::vector<std::string> owned_prog_ids_;
  RegistryRestore app_paths_{HKEY_LOCAL_MACHINE, kAppPaths};
  RegistryRestore site_{HKEY_LOCAL_MACHINE, kSiteKey};
  FileRestore log_{kLogPath};
};

TEST_F(EnrollerTest, MovesRegistersAndMarksSafeBelowAProgramFolder) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\Program").c_str(), nullptr));
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", root_ + "\\Program");
  CopyBuilt("enroller_test_control.dll", root_ + "\\boughs.dll");
  CopyBuilt("enroller_test_control.dll", root_ + "\\storyroll.ocx");
  CopyBuilt("enroller_test_shelver.exe", root_ + "\\Shelver.exe");
  // Already in the extension directory: its root namesake stays where it is.
  ASSERT_TRUE(::CreateDirectoryA(extensions_.c_str(), nullptr));
  CopyBuilt("enroller_test_control.dll", extensions_ + "\\preplaced.dll");
  WriteFile(root_ + "\\preplaced.dll", "root copy");
  const std::vector<std::string> root_libraries = Search(root_ + "\\*.dll");
  ASSERT_EQ(2u, root_libraries.size());

  std::vector<std::string> lines = RunEnroller();

  std::vector<std::string> expected = SessionStart();
  for (const char* message : {"Enroller starting...", "Find installation directory...",
                              "Make client extenstions directory...", "Begin moving files..."})
    expected.push_back(kStamp + std::string(message));
  for (const std::string& name : root_libraries) {
    expected.push_back(kStamp + std::string("Moving file ") + root_ + "\\" + name);
    expected.push_back(kStamp + std::string(name == "preplaced.dll" ? "Unable to move " : "Moved file ") + root_ +
                       "\\" + name);
  }
  for (const char* name : {"storyroll.ocx", "Shelver.exe"}) {
    expected.push_back(kStamp + std::string("Moving file ") + root_ + "\\" + name);
    expected.push_back(kStamp + std::string("Moved file ") + root_ + "\\" + name);
  }
  for (const char* pattern : {"\\*.dll", "\\*.ocx"})
    for (const std::string& name : Search(extensions_ + pattern))
      expected.push_back(kStamp + extensions_ + "\\" + name + " is registered");
  expected.push_back(kStamp + std::string("Register Controls Safe..."));
  expected.push_back(kStamp + std::string("Unable to open SOFTWARE\\Classes\\Zorvane.SynopsisCtrl.1\\Clsid"));
  expected.push_back(kStamp + std::string("Starting zorvane agent."));
  expected.push_back(kStamp + std::string("Finished Enroller"));
  for (const std::string& line : SessionEnd()) expected.push_back(line);
  EXPECT_THAT(lines, ElementsAreArray(expected));

  for (const char* moved : {"boughs.dll", "storyroll.ocx", "Shelver.exe"}) {
    EXPECT_FALSE(FileExists(root_ + "\\" + moved)) << moved;
    EXPECT_TRUE(FileExists(extensions_ + "\\" + moved)) << moved;
  }
  EXPECT_EQ("root copy", ReadFile(root_ + "\\preplaced.dll"));
  EXPECT_EQ(ReadFile(BuildOutput("enroller_test_control.dll")), ReadFile(extensions_ + "\\preplaced.dll"));

  // Registered from the extension directory, where the libraries now live.
  EXPECT_EQ(extensions_ + "\\boughs.dll", ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + Clsid("Zorvane.BoughsCtrl.1") + "\\InprocServer32").value_or("-"));
  EXPECT_EQ(extensions_ + "\\storyroll.ocx", ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + Clsid("Zorvane.StoryrollCtrl.1") + "\\InprocServer32").value_or("-"));
  EXPECT_EQ(extensions_ + "\\preplaced.dll", ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + Clsid("Zorvane.PreplacedCtrl.1") + "\\InprocServer32").value_or("-"));

  for (const char* safe : {"Zorvane.BoughsCtrl.1", "Zorvane.StoryrollCtrl.1"}) {
    const std::string categories = "CLSID\\" + Clsid(safe) + "\\Implemented Categories\\";
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + kScriptingSafe)) << safe;
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + kInitialisingSafe)) << safe;
  }
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + Clsid("Zorvane.PreplacedCtrl.1") + "\\Implemented Categories"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Zorvane.SynopsisCtrl.1"));

  auto site = ReadTree(HKEY_LOCAL_MACHINE, kSiteKey);
  ASSERT_TRUE(site.has_value());
  ASSERT_EQ(1u, site->values.count("site"));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), site->values.at("site").type);
  EXPECT_EQ("*", site->values.at("site").data);
}

TEST_F(EnrollerTest, ChangesNothingWithoutAClientBelowAProgramFolder) {
  CopyBuilt("enroller_test_control.dll", root_ + "\\boughs.dll");
  std::vector<std::string> not_installed = SessionStart();
  for (const char* message : {"Enroller starting...", "Find installation directory...", "ZR Client not installed"})
    not_installed.push_back(kStamp + std::string(message));
  for (const std::string& line : SessionEnd()) not_installed.push_back(line);

  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\bin").c_str(), nullptr));
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", root_ + "\\bin");
  EXPECT_THAT(RunEnroller(), ElementsAreArray(not_installed)) << "Path ending in \\bin";

  DeleteTree(HKEY_LOCAL_MACHINE, kAppPaths);
  EXPECT_THAT(RunEnroller(), ElementsAreArray(not_installed)) << "no App Paths entry";

  EXPECT_TRUE(FileExists(root_ + "\\boughs.dll"));
  EXPECT_FALSE(FileExists(extensions_));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Zorvane.BoughsCtrl.1"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSiteKey));
}

}  // namespace
