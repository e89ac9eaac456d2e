#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "enroller_run.h"
#include "install_root.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace enroller_test;
using namespace testing_support;
using ::testing::ElementsAreArray;

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

TEST_F(EnrollerTest, MovesRegistersAndMarksSafeBelowAProgramFolder) {
  InstallClient();
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

// A second run appends its session after the first one's, which stays whole.
TEST_F(EnrollerTest, EachRunAppendsItsSessionToTheLog) {
  const std::string earlier = "Nov 22 14:35:01  written by an earlier installation\r\n";
  WriteFile(kLogPath, earlier);
  InstallClient();
  CopyBuilt("enroller_test_control.dll", root_ + "\\boughs.dll");
  const std::vector<std::string> first = RunEnrollerAppending();
  const std::vector<std::string> second = RunEnrollerAppending();

  const std::string moved = root_ + "\\boughs.dll";
  const std::string registered = extensions_ + "\\boughs.dll";
  const std::vector<std::string> common = {"Enroller starting...", "Find installation directory...",
                                           "Make client extenstions directory...", "Begin moving files..."};
  const std::vector<std::string> ending = {"Register Controls Safe...",
                                           "Unable to open SOFTWARE\\Classes\\Zorvane.StoryrollCtrl.1\\Clsid",
                                           "Unable to open SOFTWARE\\Classes\\Zorvane.SynopsisCtrl.1\\Clsid",
                                           "Starting zorvane agent.", "Finished Enroller"};
  const std::vector<std::string> first_session = Concatenated(
      {SessionStart(), Stamped(common), Stamped({"Moving file " + moved, "Moved file " + moved}),
       Stamped({registered + " is registered"}), Stamped(ending), SessionEnd()});
  // Nothing is left in the root to move; what the extension directory holds is registered again.
  const std::vector<std::string> second_session = Concatenated(
      {SessionStart(), Stamped(common), Stamped({registered + " is registered"}), Stamped(ending), SessionEnd()});

  EXPECT_THAT(first, ElementsAreArray(Concatenated({{earlier.substr(0, earlier.size() - 2)}, first_session})));
  EXPECT_THAT(second, ElementsAreArray(Concatenated({{earlier.substr(0, earlier.size() - 2)}, first_session,
                                                     second_session})));
  EXPECT_EQ(0u, ReadFile(kLogPath).find(earlier));
}

}  // namespace
