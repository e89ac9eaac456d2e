#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installer_run.h"
#include "test_servers.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace installer_tests {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

struct HttpComponent {
  std::string site;
  std::string folder;  // "sourceDir"
  std::string user, password;
  std::string proxy, port, proxy_user, proxy_password;
};

HttpComponent Http(std::string site, std::string folder, std::string user = "", std::string password = "",
                   std::string proxy = "", std::string port = "", std::string proxy_user = "",
                   std::string proxy_password = "") {
  return {site, folder, user, password, proxy, port, proxy_user, proxy_password};
}

// A description with one HTTP component fetching "client.bin", without intervention.
std::string Description(const HttpComponent& component) {
  std::string text = "[defs]\r\ncomponents=client\r\nallowintervention=FALSE\r\n\r\n[client]\r\nname=Client\r\n"
                     "size=40\r\nProtocol=http\r\nfiles=client.bin\r\n";
  text += "site=" + component.site + "\r\nsourceDir=" + component.folder + "\r\n";
  if (!component.user.empty()) text += "user=" + component.user + "\r\npassword=" + component.password + "\r\n";
  if (!component.proxy.empty()) text += "proxy=" + component.proxy + "\r\nport=" + component.port + "\r\n";
  if (!component.proxy_user.empty())
    text += "proxyuser=" + component.proxy_user + "\r\nproxypassword=" + component.proxy_password + "\r\n";
  return text;
}

// The URIs nginx served with the given status, in order.
std::vector<std::string> Served(const std::vector<std::string>& log, const std::string& status = "200") {
  std::vector<std::string> uris;
  for (const std::string& line : log) {
    size_t blank = line.rfind(' ');
    if (blank != std::string::npos && line.substr(blank + 1) == status) uris.push_back(line.substr(0, blank));
  }
  return uris;
}

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetEnvironmentVariableA("INSTALLER_NET_TIMEOUT_MS", "1500");
    servers_.ClearLogs();
  }
  void TearDown() override { ::SetEnvironmentVariableA("INSTALLER_NET_TIMEOUT_MS", nullptr); }

  InstallerRun Install(const HttpComponent& component) {
    WriteFile(work_ / "client.inf", Description(component));
    return RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");
  }

  // The failure a download fault must end in, with nothing left under the real name.
  void ExpectReceiveFailure(const InstallerRun& run, const std::string& site) {
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Zorvane Lite Installer: Zorvane Lite Installer was unable to download all the needed software, possibly "
              "due to a communication error. Installation cannot start. Try running the Zorvane Lite Installer again "
              "later.",
              run.boxes[0]);
    EXPECT_EQ("Error in receiving file 'client.bin' from '" + site + "'.", run.status_line);
    EXPECT_FALSE(FileExists(work_ / "client.bin"));
    EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
    EXPECT_EQ(1u, run.exit_code);
  }

  const TestServers& servers_ = TestServers::Get();
  InstallerMachineState machine_;
  TempDir work_;
};

TEST_F(HttpDownloadTest, FetchesByPartsThroughTheProxyWithBothCredentialsAndSavesTheProxy) {
  const std::string bytes = SampleBytes(5 * 8192 - 1000);
  PublishParts("secure\\client1", bytes, 8192);
  HttpComponent component = Http(servers_.Site(servers_.http), "/secure/client1", "user", "secret",
                          "127.0.0.1", std::to_string(servers_.proxy), "proxyuser", "proxysecret");

  InstallerRun run = Install(component);

  EXPECT_TRUE(run.boxes.empty()) << run.boxes[0];
  ASSERT_TRUE(FileExists(work_ / "client.bin"));
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);
  EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
  EXPECT_EQ((std::vector<std::string>{"/secure/client1/pkginfo.txt", "/secure/client1/file000.bin",
                                      "/secure/client1/file001.bin", "/secure/client1/file002.bin",
                                      "/secure/client1/file003.bin", "/secure/client1/file004.bin"}),
            Served(servers_.AccessLog()));
  std::string proxy_log = ReadFile(servers_.folder + "\\tinyproxy.log");
  EXPECT_NE(std::string::npos, proxy_log.find("/secure/client1/file004.bin"));
  // No set-up wrote success: the run ends cancelled, keeping its files and settings.
  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ("1", Setting("download", "complete"));
  EXPECT_EQ("0", Setting("result", "success"));
  EXPECT_EQ("TRUE", Setting("ProxySettings", "Valid"));
  EXPECT_EQ("127.0.0.1", Setting("ProxySettings", "Proxy"));
  EXPECT_EQ(std::to_string(servers_.proxy), Setting("ProxySettings", "Port"));

  // proxywriter hands the saved proxy to the client.
  testing_support::RegistryRestore app_paths(HKEY_LOCAL_MACHINE,
                                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zorvane.exe");
  TempDir client;
  ::CreateDirectoryA((client / "data").c_str(), nullptr);
  testing_support::WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zorvane.exe",
                               "Path", client / "program");
  ASSERT_EQ(0u, testing_support::RunProgram(testing_support::Quote(testing_support::BuildOutput("proxywriter.exe")), 60000));
  std::string userconf = ReadFile(client / "data\\userconf.reg");
  EXPECT_NE(std::string::npos, userconf.find("\"HTTPProxyAddr\"=\"127.0.0.1:" + std::to_string(servers_.proxy) + "\""))
      << userconf;
}

TEST_F(HttpDownloadTest, WithoutProxyCredentialsTheProxyRefusesAndTheDirectRouteServes) {
  const std::string bytes = SampleBytes(20000, 2);
  PublishParts("client2", bytes, 8192);
  HttpComponent component = Http(servers_.Site(servers_.http), "/client2", "", "", "127.0.0.1", std::to_string(servers_.proxy));

  InstallerRun run = Install(component);

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);
  EXPECT_EQ("FALSE", Setting("ProxySettings", "Valid"));
}

TEST_F(HttpDownloadTest, AnInterruptedDownloadResumesWithTheMissingPartsOnly) {
  const std::string bytes = SampleBytes(5 * 4096, 3);
  PublishParts("client3", bytes, 4096);
  // The server goes away after three parts.
  std::string part3 = ReadFile(servers_.Content("client3\\file003.bin"));
  std::string part4 = ReadFile(servers_.Content("client3\\file004.bin"));
  ::DeleteFileA(servers_.Content("client3\\file003.bin").c_str());
  ::DeleteFileA(servers_.Content("client3\\file004.bin").c_str());
  HttpComponent component = Http(servers_.Site(servers_.http), "/client3");

  ExpectReceiveFailure(Install(component), component.site);
  EXPECT_TRUE(FileExists(work_ / "file002.bin"));

  WriteFile(servers_.Content("client3\\file003.bin"), part3);
  WriteFile(servers_.Content("client3\\file004.bin"), part4);
  servers_.ClearLogs();
  InstallerRun run = RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);
  EXPECT_EQ((std::vector<std::string>{"/client3/pkginfo.txt", "/client3/file003.bin", "/client3/file004.bin"}),
            Served(servers_.AccessLog()));
}

TEST_F(HttpDownloadTest, ACorruptedPartOnDiskIsFetchedAgain) {
  const std::string bytes = SampleBytes(3 * 4096, 4);
  PublishParts("client4", bytes, 4096);
  WriteFile(work_ / "file000.bin", bytes.substr(0, 4096));
  std::string spoiled = bytes.substr(4096, 4096);
  spoiled[100] ^= 0x55;
  WriteFile(work_ / "file001.bin", spoiled);

  InstallerRun run = Install(Http(servers_.Site(servers_.http), "/client4"));

  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);
  EXPECT_EQ((std::vector<std::string>{"/client4/pkginfo.txt", "/client4/file001.bin", "/client4/file002.bin"}),
            Served(servers_.AccessLog()));
}

TEST_F(HttpDownloadTest, APartCorruptOnTheServerFailsAfterAFewAttemptsLeavingNothing) {
  const std::string bytes = SampleBytes(2 * 4096, 5);
  PublishParts("client5", bytes, 4096);
  std::string spoiled = bytes.substr(4096);
  spoiled[0] ^= 1;
  WriteFile(servers_.Content("client5\\file001.bin"), spoiled);

  ExpectReceiveFailure(Install(Http(servers_.Site(servers_.http), "/client5")), servers_.Site(servers_.http));
  std::vector<std::string> served = Served(servers_.AccessLog());
  EXPECT_EQ(3, std::count(served.begin(), served.end(), "/client5/file001.bin"));
}

TEST_F(HttpDownloadTest, SixRedirectsAreFollowedAndTheSeventhIsRefused) {
  const std::string bytes = SampleBytes(6000, 6);
  PublishParts("client6", bytes, 4096);

  InstallerRun followed = Install(Http(servers_.Site(servers_.http), "/chain6/client6"));
  EXPECT_TRUE(followed.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);

  ::DeleteFileA((work_ / "client.bin").c_str());
  ::DeleteFileA(SettingsFile().c_str());
  ExpectReceiveFailure(Install(Http(servers_.Site(servers_.http), "/chain7/client6")), servers_.Site(servers_.http));
}

TEST_F(HttpDownloadTest, CredentialsFollowARedirectOnlyToTheSameHostAndPort) {
  const std::string bytes = SampleBytes(5000, 7);
  PublishParts("secure\\client7", bytes, 4096);
  PublishParts("client7", bytes, 4096);

  InstallerRun same = Install(Http(servers_.Site(servers_.http), "/samehost/client7", "user", "secret"));
  EXPECT_TRUE(same.boxes.empty());
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == bytes);

  ::DeleteFileA((work_ / "client.bin").c_str());
  ::DeleteFileA(SettingsFile().c_str());
  InstallerRun away = Install(Http(servers_.Site(servers_.http), "/away/client7", "user", "secret"));
  EXPECT_TRUE(away.boxes.empty());
  std::vector<std::string> other = servers_.OtherLog();
  ASSERT_FALSE(other.empty());
  for (const std::string& line : other) EXPECT_NE(std::string::npos, line.find("auth=[-]")) << line;
}

TEST_F(HttpDownloadTest, ServerFaultsEndInTheErrorTextsWithNothingUnderTheRealName) {
  const std::string bytes = SampleBytes(2 * 4096, 8);
  PublishParts("client8", bytes, 4096);
  const std::string faults = servers_.Site(servers_.faults);
  for (const char* fault : {"cut", "longer", "stall", "loop", "noloc", "endless", "hugecount", "hugesize"}) {
    SCOPED_TRACE(fault);
    ::DeleteFileA(SettingsFile().c_str());
    for (const char* part : {"file000.bin", "file001.bin"}) ::DeleteFileA((work_ / part).c_str());
    ExpectReceiveFailure(Install(Http(faults, std::string("/") + fault + "/client8")), faults);
  }
  SCOPED_TRACE("otherscheme");
  ExpectReceiveFailure(Install(Http(servers_.Site(servers_.http), "/otherscheme/client8")), servers_.Site(servers_.http));
}

TEST_F(HttpDownloadTest, FileNamesThatClimbOutOfTheWorkDirectoryAreRefused) {
  PublishParts("client11", SampleBytes(3000, 11), 4096);
  for (const char* name : {"..\\escaped.bin", "C:\\escaped.bin", "sub\\..\\..\\escaped.bin"}) {
    SCOPED_TRACE(name);
    std::string description = Description(Http(servers_.Site(servers_.http), "/client11"));
    description.replace(description.find("files=client.bin"), 16, std::string("files=") + name);
    WriteFile(work_ / "client.inf", description);
    InstallerRun run = RunInstaller(InstallerProgram() + " -inf " + work_ / "client.inf");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_FALSE(FileExists(work_.path() + "\\..\\escaped.bin"));
    EXPECT_FALSE(FileExists("C:\\escaped.bin"));
    EXPECT_FALSE(FileExists(work_ / "tmp.tmp"));
  }
}

TEST_F(HttpDownloadTest, AServerThatCannotBeReachedEndsInTheConnectText) {
  InstallerRun run = Install(Http("127.0.0.1:1", "/nothing"));
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ("Error: Unable to connect to '127.0.0.1:1'.", run.status_line);
  EXPECT_FALSE(FileExists(work_ / "client.bin"));
}

}  // namespace
}  // namespace installer_tests
