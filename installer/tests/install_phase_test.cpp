#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "installer_run.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace installer_tests {
namespace {

using namespace testing_support;

std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  if (!FileExists(path)) return lines;
  std::istringstream text(ReadFile(path));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class InstallPhaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CopyFileA(BuildOutput("installer_test_setup.exe").c_str(), (work_ / "setup.exe").c_str(), FALSE);
    ::CopyFileA(BuildOutput("installer_test_package.cab").c_str(), (work_ / "pkg.cab").c_str(), FALSE);
    WriteFile(work_ / "lib.dll", "not really a library");
    ::CreateDirectoryA((data_.path() + "\\data").c_str(), nullptr);
    WriteString(HKEY_CURRENT_USER, "SOFTWARE\\Zorvane\\Zorvane", "Data Path", data_.path() + "\\data");
  }

  // Two components: "first" runs the set-up program, writes registry values and copies a
  // library for registration; "second" unpacks a package and runs its set-up.
  void Describe(const std::string& first_arguments, const std::string& second_arguments) {
    WriteFile(work_ / "client.inf",
              "[defs]\r\ncomponents=second, first\r\nallowintervention=FALSE\r\n\r\n"
              "[second]\r\nname=Second\r\nInstallOrder=2\r\nfiles=pkg.cab\r\nextract1=ispackage,pkg.cab," +
                  second_arguments +
                  "\r\n\r\n"
                  "[first]\r\nname=First\r\nInstallOrder=1\r\nfiles=setup.exe lib.dll\r\ncount=2\r\n"
                  "install1=run,setup.exe," + first_arguments + "\r\nregistry1=values\r\n"
                  "install2=copy,lib.dll,24\r\n\r\n"
                  "[values]\r\n; comments are skipped\r\nHKLM,Software\\HalvernInstallerTest,Number=n,5\r\n"
                  "hkcu,Software\\HalvernInstallerTest,Text=s,5\r\n");
  }

  InstallerMachineState machine_;
  RegistryRestore test_machine_{HKEY_LOCAL_MACHINE, "Software\\HalvernInstallerTest"};
  RegistryRestore test_user_{HKEY_CURRENT_USER, "Software\\HalvernInstallerTest"};
  TempDir work_;
  TempDir data_;
};

TEST_F(InstallPhaseTest, StepsRunInInstallOrderWithRegistryValuesCopiesAndPackages) {
  const std::string log = work_ / "log.txt";
  Describe(log + " first success", log + " second");

  InstallerRun run = RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(0u, run.exit_code);
  std::vector<std::string> lines = LogLines(log);
  ASSERT_EQ(2u, lines.size());
  // "run": the arguments, then the installer's command line, in the work directory.
  EXPECT_EQ("first | success -inf " + work_ / "client.inf" + " | " + work_.path(), lines[0]);
  // "ispackage": setup.exe of the unpacked package, in its own temporary folder.
  EXPECT_EQ(0u, lines[1].find("second | -inf " + work_ / "client.inf" + " | "));
  EXPECT_NE(std::string::npos, lines[1].find("\\INS"));
  EXPECT_EQ(5u, ReadDword(HKEY_LOCAL_MACHINE, "Software\\HalvernInstallerTest", "Number").value_or(0));
  EXPECT_EQ("5", ReadString(HKEY_CURRENT_USER, "Software\\HalvernInstallerTest", "Text").value_or(""));
  EXPECT_TRUE(FileExists(data_.path() + "\\data\\lib.dll"));
  const std::string request = "Software\\Zorvane\\Zorvane\\ComponentsToRegister\\lib.dll";
  EXPECT_EQ(data_.path() + "\\data\\lib.dll", ReadString(HKEY_LOCAL_MACHINE, request, "Path").value_or(""));
  EXPECT_EQ("ComDLL", ReadString(HKEY_LOCAL_MACHINE, request, "RegType").value_or(""));
  for (const char* section : {"first", "second"}) {
    EXPECT_EQ(1u, ReadDword(HKEY_LOCAL_MACHINE, std::string("Software\\Zorvane\\Zorvane\\Public\\Components\\") + section,
                            "enable").value_or(0));
  }
  EXPECT_EQ("1", Setting("download", "complete"));
  EXPECT_EQ("1", Setting("result", "success"));
}

TEST_F(InstallPhaseTest, AFailedStepStopsThePhaseAndTheNextRunGoesStraightToInstalling) {
  const std::string log = work_ / "log.txt";
  Describe(log + " first fail", log + " second");

  InstallerRun failed = RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");

  EXPECT_EQ(1u, failed.exit_code);
  EXPECT_EQ(1u, LogLines(log).size());
  // The triple's registry step came before its failing install step; the next triple did not run.
  EXPECT_EQ(5u, ReadDword(HKEY_LOCAL_MACHINE, "Software\\HalvernInstallerTest", "Number").value_or(0));
  EXPECT_FALSE(FileExists(data_.path() + "\\data\\lib.dll"));
  EXPECT_EQ("1", Setting("download", "complete"));

  Describe(log + " again", log + " second");
  InstallerRun again = RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");
  EXPECT_EQ(0u, again.exit_code);
  EXPECT_EQ(3u, LogLines(log).size());
  EXPECT_TRUE(FileExists(data_.path() + "\\data\\lib.dll"));
}

TEST_F(InstallPhaseTest, WithIsPackagesAreRecordedInsteadOfRun) {
  const std::string log = work_ / "log.txt";
  Describe(log + " first", log + " second");

  InstallerRun run = RunInstaller(InstallerProgram() + " /is -inf " + work_ / "client.inf");

  EXPECT_EQ(0u, run.exit_code);
  std::vector<std::string> lines = LogLines(log);
  ASSERT_EQ(1u, lines.size());
  std::string script = ReadString(HKEY_CURRENT_USER, "SOFTWARE\\Zorvane\\Zorvane\\InstallComponents", "INS1").value_or("");
  ASSERT_NE(std::string::npos, script.find("\\setup.ins"));
  std::string folder = script.substr(0, script.rfind('\\'));
  EXPECT_TRUE(FileExists(folder + "\\setup.exe"));
  EXPECT_TRUE(FileExists(folder + "\\sub\\readme.txt"));
  RemoveTree(folder);
}

}  // namespace
}  // namespace installer_tests
