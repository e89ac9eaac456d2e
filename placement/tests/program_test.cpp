// Runs the real Shelver.exe where no Zorvane client is registered.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "comsupport/unique_handle.h"
#include "testing/dialog_driver.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace testing_support;

class ShelverWithoutClient : public ::testing::Test {
 protected:
  ShelverWithoutClient() {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\Zorvane");
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\Zorvane");
  }

  // Starts Shelver as the arrival extension does, answers the settings box and returns the
  // exit code.
  DWORD RunAndAnswer(const std::string& argument) {
    Process shelver = Process::Start(Quote(BuildOutput("Shelver.exe")) + " " + argument, scratch_.path());
    auto box = AnswerDialog("Place", "OK", 300000);
    EXPECT_TRUE(box.has_value()) << "no \"Place\" box";
    if (box) {
      EXPECT_EQ("Error in reading user profile data", box->contents.message);
      EXPECT_EQ(std::vector<std::string>{"OK"}, box->contents.buttons);
      EXPECT_STREQ("none", DialogIconName(box->contents.icon));
      EXPECT_TRUE(box->pressed);
    }
    DWORD exit_code = 0;
    EXPECT_TRUE(shelver.Wait(300000, &exit_code));
    return exit_code;
  }

  RegistryRestore user_classes_{HKEY_CURRENT_USER, "Software\\Classes\\Zorvane"};
  RegistryRestore machine_classes_{HKEY_LOCAL_MACHINE, "Software\\Classes\\Zorvane"};
  TempDir scratch_;
};

TEST_F(ShelverWithoutClient, SaysSoEndsWithOneAndPlacesNothing) {
  const std::string vessik = scratch_ / "vessik\\";
  WriteFile(vessik + "MyMendlet.dat", "driver.inf\n");
  WriteFile(vessik + "driver.inf", "driver");

  EXPECT_EQ(1u, RunAndAnswer("\"" + vessik + "| Display driver update\""));

  // Shelver ran in scratch_: nothing may have appeared beside the Vessik.
  WIN32_FIND_DATAA entry;
  comsupport::UniqueFindHandle find(::FindFirstFileA((scratch_ / "*").c_str(), &entry));
  ASSERT_TRUE(find);
  int entries = 0;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") ++entries;
  } while (::FindNextFileA(find.get(), &entry));
  EXPECT_EQ(1, entries) << "only the Vessik directory";
}

TEST_F(ShelverWithoutClient, OverlongOrMissingArgumentsGetTheSameAnswer) {
  EXPECT_EQ(1u, RunAndAnswer("\"C:\\" + std::string(5000, 'v') + "\\|" + std::string(5000, 't') + "\""));
  EXPECT_EQ(1u, RunAndAnswer(""));
}

}  // namespace
