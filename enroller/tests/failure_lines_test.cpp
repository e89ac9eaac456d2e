// The failure lines of marking controls safe, setting the site marker and starting regsvr32,
// each produced by a real state of the machine the program meets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "comsupport/unique_handle.h"
#include "enroller_run.h"
#include "install_log.h"
#include "registrar.h"
#include "safe_marking.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace enroller_test;
using namespace testing_support;
using ::testing::ElementsAreArray;

const char kIeKey[] = "Software\\Zorvane\\Zorvane\\IE";
const char kUncreatableClsid[] = "{6A1E0C3B-52D4-4E7A-9B1C-00000000C0DE}";
const char kMarkableClsid[] = "{6A1E0C3B-52D4-4E7A-9B1C-00000000BEEF}";

void CreateKey(HKEY root, const std::string& path) {
  comsupport::UniqueHkey key;
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr))
      << path;
}

std::vector<std::string> StartOfEveryRun() {
  return Concatenated({SessionStart(), Stamped({"Enroller starting...", "Find installation directory...",
                                                "Make client extenstions directory...", "Begin moving files..."})});
}

// A ProgID whose Clsid key has no default value, one whose class key refuses new subkeys, and a
// site-marker key that cannot be created: each logs its line, the controls after a failure are
// still marked, and the marker's failure ends the run.
TEST_F(EnrollerTest, LogsUnreadableClassIdsUncreatableKeysAndTheSiteMarkerFailure) {
  InstallClient();
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Zorvane.BoughsCtrl.1\\Clsid");
  WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Zorvane.StoryrollCtrl.1\\Clsid", "", kUncreatableClsid);
  CreateVolatileKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kUncreatableClsid);
  WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Zorvane.SynopsisCtrl.1\\Clsid", "", kMarkableClsid);
  RegistryRestore ie(HKEY_LOCAL_MACHINE, kIeKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kIeKey);
  CreateKey(HKEY_LOCAL_MACHINE, "Software\\Zorvane\\Zorvane");
  CreateVolatileKey(HKEY_LOCAL_MACHINE, kIeKey);

  const std::string uncreatable_categories = std::string("CLSID\\") + kUncreatableClsid + "\\Implemented Categories";
  EXPECT_THAT(RunEnroller(),
              ElementsAreArray(Concatenated(
                  {StartOfEveryRun(),
                   Stamped({"Register Controls Safe...",
                            "Unable to get value for key SOFTWARE\\Classes\\Zorvane.BoughsCtrl.1\\Clsid",
                            "Unable to create key " + uncreatable_categories + "\\" + kScriptingSafe,
                            "Unable to create key for secure"}),
                   SessionEnd()})));

  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, uncreatable_categories));
  const std::string categories = std::string("CLSID\\") + kMarkableClsid + "\\Implemented Categories\\";
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + kScriptingSafe));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + kInitialisingSafe));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSiteKey));
}

// The messages of a log written without a session, time prefixes taken off.
std::vector<std::string> Messages(const std::string& path) {
  std::vector<std::string> lines = Split(ReadFile(path), "\r\n");
  EXPECT_EQ("", lines.back()) << "the log ends with a line end";
  lines.pop_back();
  for (std::string& line : lines) {
    EXPECT_EQ("  ", line.substr(15, 2)) << line;
    line = line.substr(17);
  }
  return lines;
}

LONG WINAPI RefuseToSetValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }

// Once the marker key is open, Wine lets nothing stop the value being set: the refusal comes from
// a stand-in for the call.
TEST(SiteMarker, AValueThatCannotBeSetIsLoggedAndEndsTheRun) {
  RegistryRestore site(HKEY_LOCAL_MACHINE, kSiteKey);
  TempDir directory;
  const std::string path = directory / "install.log";
  {
    enroller::InstallLog log(path);
    EXPECT_FALSE(enroller::SetSiteMarker(log, RefuseToSetValue));
  }
  EXPECT_THAT(Messages(path), ElementsAreArray({"Unable to set value for key secure"}));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSiteKey)) << "the key was created before the value failed";

  {
    enroller::InstallLog log(path);
    EXPECT_TRUE(enroller::SetSiteMarker(log));
  }
  EXPECT_EQ("*", ReadString(HKEY_LOCAL_MACHINE, kSiteKey, "site").value_or("-"));
}

// Nothing takes the system's own regsvr32 away, and Wine starts a process even where Windows
// would refuse (a job's process limit is not enforced): the program is pointed at a folder
// without regsvr32 instead.
TEST(Registration, EachFileWhoseProcessCannotBeCreatedIsLoggedAndTheNextIsTried) {
  TempDir directory;
  const std::string extensions = directory / "Halvern Extensions";
  const std::string without_regsvr32 = directory / "system";
  WriteFile(extensions + "\\boughs.dll", "not a library");
  WriteFile(extensions + "\\picker.dll", "not a library");
  WriteFile(extensions + "\\storyroll.ocx", "not a control");
  ASSERT_TRUE(::CreateDirectoryA(without_regsvr32.c_str(), nullptr));
  const std::string path = directory / "install.log";
  {
    enroller::InstallLog log(path);
    enroller::RegisterAll(log, extensions, "dll", without_regsvr32);
  }
  std::vector<std::string> expected;
  for (const std::string& name : Search(extensions + "\\*.dll")) {
    expected.push_back("Unable to create process. Error:" + std::to_string(ERROR_FILE_NOT_FOUND));
    expected.push_back("Unable to register " + extensions + "\\" + name);
  }
  ASSERT_EQ(4u, expected.size());
  EXPECT_THAT(Messages(path), ElementsAreArray(expected));
}

}  // namespace
