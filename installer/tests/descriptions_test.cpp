#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "browser_proxy.h"
#include "descriptions.h"
#include "initial_status.h"
#include "package_info.h"
#include "testing/machine_state.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"
#include "url.h"

namespace installer_tests {
namespace {

using namespace testing_support;

TEST(Descriptions, ValuesAreSubstitutedFromTheLastLoadedStringSection) {
  TempDir folder;
  WriteFile(folder / "a.inf",
            "[defs]\r\nstrings=early, late\r\ncomponents=one two, off nameless\r\n"
            "[early]\r\nhost=early.example\r\nport=21\r\n"
            "[late]\r\n; a comment = ignored\r\nhost=late.example\r\n"
            "[one]\r\nname=One %port%%%\r\nsite=%host%:%missing%8080\r\nDisplayOrder=5\r\nsize=12\r\n"
            "Protocol=HTTP\r\n"
            "[two]\r\nname=Two\r\nProtocol=copy\r\nSourceDir=D:\\media\r\nDisplayOrder=1\r\n"
            "[off]\r\nname=Off\r\nenable=0\r\n"
            "[nameless]\r\nsite=x\r\n");
  installer::Descriptions descriptions("C:\\setup");
  descriptions.Read(folder / "a.inf", "C:\\work");
  descriptions.SortByDisplayOrder();
  const auto& components = descriptions.components();
  ASSERT_EQ(2u, components.size());
  EXPECT_EQ("Two", components[0].name);
  EXPECT_EQ(installer::kCopy, components[0].protocol);
  EXPECT_EQ("D:\\media", components[0].source_directory);
  EXPECT_EQ("One 21%", components[1].name);
  EXPECT_EQ(installer::kHttp, components[1].protocol);
  EXPECT_EQ("C:\\work", components[1].source_directory);
  EXPECT_EQ(12, components[1].size_kb);
  EXPECT_EQ("late.example:8080", descriptions.Value(components[1], "site", "", 80));
  // The result is cut at the key's size.
  EXPECT_EQ("late.", descriptions.Value(components[1], "site", "", 5));
  EXPECT_TRUE(descriptions.allow_intervention());
  EXPECT_TRUE(descriptions.network_needed());
}

TEST(InitialStatus, FileVersionsAndClassIdsDecideWhetherAComponentIsInstalled) {
  // The build's programs carry version 1.0.0.0 and lie beside this test, on the search path.
  using installer::FileEntryHolds;
  EXPECT_TRUE(FileEntryHolds("installer.exe"));
  EXPECT_TRUE(FileEntryHolds("installer.exe:1.0"));
  EXPECT_TRUE(FileEntryHolds("installer.exe:0.9.9.9"));
  EXPECT_FALSE(FileEntryHolds("installer.exe:1.0.0.1"));
  EXPECT_FALSE(FileEntryHolds("installer.exe:1.1"));
  EXPECT_TRUE(FileEntryHolds("installer.exe:#1.0"));
  EXPECT_FALSE(FileEntryHolds("installer.exe:#4.1"));
  EXPECT_FALSE(FileEntryHolds("no-such-file.dll"));

  TempDir folder;
  WriteFile(folder / "a.inf",
            "[defs]\r\ncomponents=installed missing present\r\n"
            "[installed]\r\nname=A\r\nNoDownloadIfFilesExist=installer.exe:0.5, kernel32.dll\r\n"
            "NoDownloadIfObjectsExist={00021401-0000-0000-C000-000000000046}\r\nfiles=absent.bin\r\n"
            "[missing]\r\nname=B\r\nNoDownloadIfObjectsExist={0BADC0DE-0000-0000-0000-000000000001}\r\nfiles=here.bin\r\n"
            "[present]\r\nname=C\r\nfiles=here.bin sub\\there.bin\r\n");
  WriteFile(folder / "here.bin", "x");
  WriteFile(folder / "sub\\there.bin", "x");
  installer::Descriptions descriptions("C:\\setup");
  descriptions.Read(folder / "a.inf", folder.path());
  ASSERT_EQ(3u, descriptions.components().size());
  EXPECT_EQ(installer::kAlreadyInstalled, installer::InitialStatus(descriptions, descriptions.components()[0]));
  EXPECT_EQ(installer::kDownloaded, installer::InitialStatus(descriptions, descriptions.components()[1]));
  EXPECT_EQ(installer::kDownloaded, installer::InitialStatus(descriptions, descriptions.components()[2]));
  ::DeleteFileA((folder / "sub\\there.bin").c_str());
  EXPECT_EQ(installer::kNeedDownload, installer::InitialStatus(descriptions, descriptions.components()[2]));
}

TEST(PackageInfo, AbsurdCountsAndSizesAreRefused) {
  std::string error;
  auto info = installer::ParsePackageInfo(
      "  [files]\r\nfile000.bin = 10\r\nfile001.bin=10\r\nfile002.bin=\t4\r\nfile004.bin=10\r\n"
      "[sums]\r\nfile000.bin=-5\r\nfile001.bin=6\r\nfile002.bin=7\r\ntotal_sum=-2147483648\r\n",
      &error);
  ASSERT_TRUE(info) << error;
  EXPECT_EQ(3u, info->part_sizes.size());  // the list ends at the first missing number
  EXPECT_EQ(24u, info->total_size);
  EXPECT_EQ(-5, info->part_sums[0]);
  EXPECT_EQ(INT32_MIN, info->total_sum);

  const char* refused[] = {
      "[files]\r\nfile000.bin=0\r\n[sums]\r\nfile000.bin=1\r\ntotal_sum=1\r\n",
      "[files]\r\nfile000.bin=-3\r\n[sums]\r\nfile000.bin=1\r\ntotal_sum=1\r\n",
      "[files]\r\nfile000.bin=99999999999999999999999\r\n[sums]\r\nfile000.bin=1\r\ntotal_sum=1\r\n",
      "[files]\r\nfile000.bin=10\r\nfile001.bin=20\r\n[sums]\r\nfile000.bin=1\r\nfile001.bin=1\r\ntotal_sum=1\r\n",
      "[files]\r\nfile000.bin=10\r\n[sums]\r\ntotal_sum=1\r\n",
      "[files]\r\nfile000.bin=10\r\n[sums]\r\nfile000.bin=1\r\n",
      "[files]\r\nfile000.bin=10x\r\n[sums]\r\nfile000.bin=1\r\ntotal_sum=1\r\n",
      "[sums]\r\ntotal_sum=1\r\n",
  };
  for (const char* text : refused) EXPECT_FALSE(installer::ParsePackageInfo(text, &error)) << text;
  std::string many = "[files]\r\n";
  std::string sums = "[sums]\r\n";
  for (int index = 0; index < 1001; ++index) {
    many += installer::PackageInfo::PartName(index) + "=1\r\n";
    sums += installer::PackageInfo::PartName(index) + "=1\r\n";
  }
  EXPECT_FALSE(installer::ParsePackageInfo(many + sums + "total_sum=1\r\n", &error));
}

TEST(Url, UserHostPortAndPath) {
  auto url = installer::ParseUrl("http://me:p@ss@host.example:8080/a/b?c");
  ASSERT_TRUE(url);
  EXPECT_EQ("me", url->user);
  EXPECT_EQ("p@ss", url->password);
  EXPECT_EQ("host.example", url->host);
  EXPECT_EQ(8080, url->port);
  EXPECT_EQ("/a/b?c", url->path);
  EXPECT_EQ(80, installer::ParseUrl("host")->port);
  EXPECT_EQ("/", installer::ParseUrl("host")->path);
  EXPECT_FALSE(installer::ParseUrl("ftp://host/x"));
  EXPECT_FALSE(installer::ParseUrl("https://host/x"));
  EXPECT_FALSE(installer::ParseUrl("http://host:99999/"));
  EXPECT_FALSE(installer::ParseUrl("http://:80/"));
}

class BrowserProxyTest : public ::testing::Test {
 protected:
  RegistryRestore netscape_{HKEY_CURRENT_USER, "Software\\Netscape"};
  RegistryRestore internet_{HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"};
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
    WriteDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "ProxyEnable", 0);
  }
};

TEST_F(BrowserProxyTest, TheProfileFileComesFirstThenNavigatorThenInternetExplorer) {
  EXPECT_FALSE(installer::FindBrowserProxy());

  const std::string internet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  WriteDword(HKEY_CURRENT_USER, internet, "ProxyEnable", 1);
  WriteString(HKEY_CURRENT_USER, internet, "ProxyServer", "http://ie.example:3128");
  auto proxy = installer::FindBrowserProxy();
  ASSERT_TRUE(proxy);
  EXPECT_EQ("ie.example", proxy->host);
  EXPECT_EQ(3128, proxy->port);

  const std::string navigator = "Software\\Netscape\\Netscape Navigator\\Proxy Information";
  WriteDword(HKEY_CURRENT_USER, navigator, "Proxy Type", 1);
  WriteString(HKEY_CURRENT_USER, navigator, "HTTP_Proxy", "nav.example");
  WriteDword(HKEY_CURRENT_USER, navigator, "HTTP_ProxyPort", 8081);
  proxy = installer::FindBrowserProxy();
  ASSERT_TRUE(proxy);
  EXPECT_EQ("nav.example", proxy->host);
  EXPECT_EQ(8081, proxy->port);

  TempDir root;
  WriteString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", "Install Directory",
              root / "Program");
  WriteString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\biff", "CurrentUser", "anna");
  WriteFile(root / "Users\\anna\\prefs.js",
            "user_pref(\"network.proxy.type\", 1);\r\nuser_pref(\"network.proxy.http\", \"http://prefs.example\");\r\n"
            "user_pref(\"network.proxy.http_port\", 8082);\r\n");
  proxy = installer::FindBrowserProxy();
  ASSERT_TRUE(proxy);
  EXPECT_EQ("prefs.example", proxy->host);
  EXPECT_EQ(8082, proxy->port);
}

}  // namespace
}  // namespace installer_tests
