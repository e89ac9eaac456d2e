#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "installer_run.h"
#include "payload.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace installer_tests {
namespace {

using namespace testing_support;

// One payload record, laid out as the installer reads it.
std::string Record(const std::string& name, const std::string& data) {
  std::string record;
  auto put = [&](uint32_t value, int bytes) {
    for (int index = 0; index < bytes; ++index) record.push_back(static_cast<char>(value >> (8 * index)));
  };
  put(static_cast<uint32_t>(data.size()), 4);
  put(static_cast<uint32_t>(name.size() + 1), 2);
  put(0xFFFF, 2);
  record += name;
  record.push_back('\0');
  return record + data;
}

// The installer with records appended and the trailer.
void WriteInstallerWith(const std::string& path, const std::vector<std::string>& records) {
  std::string bytes = ReadFile(BuildOutput("installer.exe"));
  const uint32_t start = static_cast<uint32_t>(bytes.size());
  for (const std::string& record : records) bytes += record;
  for (int index = 0; index < 4; ++index) bytes.push_back(static_cast<char>(start >> (8 * index)));
  bytes += installer::kPayloadMarker;
  WriteFile(path, bytes);
}

const char kDescription[] =
    "[defs]\r\ncomponents=client\r\nallowintervention=FALSE\r\n[client]\r\nname=Client\r\n"
    "files=dir1\\dir2\\a.txt\r\nregistry1=values\r\n[values]\r\nHKCU,Software\\HalvernInstallerTest,Payload=s,seen\r\n";

class PayloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteString(HKEY_CURRENT_USER, "Software\\Zorvane\\ZrGet", "Path", root_ / "work");
  }
  InstallerMachineState machine_;
  RegistryRestore test_user_{HKEY_CURRENT_USER, "Software\\HalvernInstallerTest"};
  TempDir root_;
};

TEST_F(PayloadTest, MakeInstallerPayloadIsExtractedReadAndCleanedUpOnCompletion) {
  WriteFile(root_ / "in\\client.inf", kDescription);
  WriteFile(root_ / "in\\a.txt", "nested");
  ASSERT_EQ(0u, RunProgram(Quote(BuildOutput("make-installer.exe")) + " " + BuildOutput("installer.exe") + " " +
                               root_ / "setup.exe" + " " + root_ / "in\\client.inf" + " " + root_ / "in\\a.txt" +
                               "=dir1\\dir2\\a.txt",
                           60000));
  std::vector<installer::PayloadRecord> records;
  std::string error;
  ASSERT_TRUE(installer::ReadPayload(root_ / "setup.exe", &records, &error)) << error;
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ("dir1\\dir2\\a.txt", records[1].name);

  InstallerRun run = RunInstaller(Quote(root_ / "setup.exe"));

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(0u, run.exit_code);
  // The description from the payload was read: its registry step ran.
  EXPECT_EQ("seen", ReadString(HKEY_CURRENT_USER, "Software\\HalvernInstallerTest", "Payload").value_or(""));
  // Completed: the work directory and the installer's key are gone.
  EXPECT_FALSE(FileExists(root_ / "work\\dir1\\dir2\\a.txt"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Zorvane\\ZrGet"));
}

TEST_F(PayloadTest, MakeInstallerRefusesNamesThatClimbOut) {
  WriteFile(root_ / "a.txt", "x");
  for (const char* name : {"..\\a.txt", "C:\\a.txt", "\\a.txt", "dir\\..\\..\\a.txt"}) {
    EXPECT_EQ(1u, RunProgram(Quote(BuildOutput("make-installer.exe")) + " " + BuildOutput("installer.exe") + " " +
                                 root_ / "setup.exe" + " " + root_ / "a.txt=" + name,
                             60000))
        << name;
  }
}

TEST_F(PayloadTest, RecordsWhoseNamesClimbOutFailTheExtractionWritingNothing) {
  for (const char* name : {"..\\escaped.txt", "C:\\escaped.txt", "\\escaped.txt", "sub\\..\\..\\escaped.txt",
                           "sub\\...\\escaped.txt"}) {
    SCOPED_TRACE(name);
    WriteInstallerWith(root_ / "setup.exe", {Record("client.inf", kDescription), Record(name, "evil")});
    InstallerRun run = RunInstaller(Quote(root_ / "setup.exe"));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Zorvane: Error while extracting temporary files. You may be out of disk space.", run.boxes[0]);
    EXPECT_EQ(1u, run.exit_code);
    EXPECT_FALSE(FileExists(root_ / "escaped.txt"));
    EXPECT_FALSE(FileExists("C:\\escaped.txt"));
    EXPECT_FALSE(FileExists(root_ / "work\\client.inf"));
    EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, "Software\\HalvernInstallerTest", "Payload"));
  }
}

TEST_F(PayloadTest, ARecordRunningPastTheTrailerFailsTheExtraction) {
  std::string record = Record("client.inf", kDescription);
  record[0] = static_cast<char>(0xFF);  // claims more data than there is
  record[1] = static_cast<char>(0xFF);
  WriteInstallerWith(root_ / "setup.exe", {record});
  InstallerRun run = RunInstaller(Quote(root_ / "setup.exe"));
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_FALSE(FileExists(root_ / "work\\client.inf"));
}

}  // namespace
}  // namespace installer_tests
