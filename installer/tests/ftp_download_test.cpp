#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "installer_run.h"
#include "test_servers.h"
#include "testing/temp_dir.h"

namespace installer_tests {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string Description(const std::string& site, const std::string& folder, const std::string& files,
                        const std::string& user = "", const std::string& password = "") {
  std::string text = "[defs]\r\ncomponents=client\r\nallowintervention=FALSE\r\n\r\n[client]\r\nname=Client\r\n"
                     "Protocol=FTP\r\nsite=" + site + "\r\nsourceDir=" + folder + "\r\nfiles=" + files + "\r\n";
  if (!user.empty()) text += "user=" + user + "\r\npassword=" + password + "\r\n";
  return text;
}

class FtpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (servers_.ftp.empty()) GTEST_SKIP() << "the FTP servers need root";
  }
  InstallerRun Install(const std::string& description) {
    WriteFile(work_ / "client.inf", description);
    return RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");
  }
  std::string FtpFolder(const std::string& relative) const { return servers_.folder + "\\ftp\\" + relative; }

  const TestServers& servers_ = TestServers::Get();
  InstallerMachineState machine_;
  TempDir work_;
};

TEST_F(FtpDownloadTest, AnonymousDownloadOfSeveralFilesIntoTheirFolders) {
  const std::string first = SampleBytes(70000, 11), second = SampleBytes(3000, 12);
  WriteFile(FtpFolder("anon\\pub\\a.bin"), first);
  WriteFile(FtpFolder("anon\\pub\\sub\\b.bin"), second);
  const size_t log_start = ReadFile(servers_.folder + "\\vsftpd-127.0.0.5.log").size();

  InstallerRun run = Install(Description(servers_.ftp, "pub", "a.bin, sub\\b.bin"));

  EXPECT_TRUE(run.boxes.empty()) << run.boxes[0] << " / " << run.status_line;
  EXPECT_TRUE(ReadFile(work_ / "a.bin") == first);
  EXPECT_TRUE(ReadFile(work_ / "sub\\b.bin") == second);
  EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
  EXPECT_EQ("FALSE", Setting("ProxySettings", "Valid"));
  // One login for both files.
  std::string log = ReadFile(servers_.folder + "\\vsftpd-127.0.0.5.log").substr(log_start);
  size_t logins = 0;
  for (size_t at = log.find("OK LOGIN"); at != std::string::npos; at = log.find("OK LOGIN", at + 1)) ++logins;
  EXPECT_EQ(1u, logins);
}

TEST_F(FtpDownloadTest, DownloadWithAUserLogin) {
  const std::string bytes = SampleBytes(5000, 13);
  WriteFile(FtpFolder("user\\private\\c.bin"), bytes);

  InstallerRun run = Install(Description(servers_.ftp, "private", "c.bin", "halvernftp", "ftpsecret"));

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "c.bin") == bytes);
}

TEST_F(FtpDownloadTest, AWrongPasswordEndsInTheConnectText) {
  InstallerRun run = Install(Description(servers_.ftp, "private", "c.bin", "halvernftp", "wrong"));
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ("Error: Unable to connect to '" + servers_.ftp + "'.", run.status_line);
}

TEST_F(FtpDownloadTest, AServerRefusingPasvIsServedThroughPort) {
  const std::string bytes = SampleBytes(20000, 14);
  WriteFile(FtpFolder("anon\\pub\\d.bin"), bytes);

  InstallerRun run = Install(Description(servers_.ftp_port_only, "pub", "d.bin"));

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "d.bin") == bytes);
  std::string log = ReadFile(servers_.folder + "\\vsftpd-127.0.0.6.log");
  EXPECT_NE(std::string::npos, log.find("\"PORT 127,0,0,1,"));
}

TEST_F(FtpDownloadTest, AFileShorterThanAnnouncedOrMissingLeavesNothing) {
  WriteFile(FtpFolder("anon\\pub\\e.bin"), SampleBytes(4000, 15));
  for (const auto& [site, file] : {std::pair{servers_.ftp_faults, std::string("e.bin")},
                                   std::pair{servers_.ftp, std::string("missing.bin")}}) {
    SCOPED_TRACE(site + " " + file);
    InstallerRun run = Install(Description(site, "pub", file));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Error in receiving file '" + file + "' from '" + site + "'.", run.status_line);
    EXPECT_FALSE(FileExists(work_ / file));
    EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
  }
}

TEST_F(FtpDownloadTest, AServerFallingSilentTimesOut) {
  ::SetEnvironmentVariableA("INSTALLER_NET_TIMEOUT_MS", "1500");
  InstallerRun run = Install(Description(servers_.ftp_faults, "pub", "stall.bin"));
  ::SetEnvironmentVariableA("INSTALLER_NET_TIMEOUT_MS", nullptr);
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ("Error in receiving file 'stall.bin' from '" + servers_.ftp_faults + "'.", run.status_line);
  EXPECT_FALSE(FileExists(work_ / "stall.bin"));
  EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
}

TEST_F(FtpDownloadTest, NoServerEndsInTheConnectText) {
  InstallerRun run = Install(Description("127.0.0.9", "pub", "a.bin"));
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ("Error: Unable to connect to '127.0.0.9'.", run.status_line);
}

}  // namespace
}  // namespace installer_tests
