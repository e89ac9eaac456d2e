// The arrival road against the stand-in client: the client installed under a root, Hookwell
// registered with regsvr32 and loaded by the client, Shelver in "Halvern Extensions", Vessiks
// delivered on the Kelvane channel and their files placed in the repository.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "comsupport/bstr.h"
#include "testing/dialog_driver.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::Bstr;
using testing::HasSubstr;
using testing::Not;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::StandinClient;
using testing_support::WaitForFile;

const char kClsid[] = "{2EABB432-9B8E-11d3-9ACE-00008630FDFD}";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zorvane.exe";

// JSON text of a string.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      if (c == '\\' || c == '"') quoted += '\\';
      quoted += c;
    }
  }
  return quoted + "\"";
}

class RoadTest : public testing::Test {
 protected:
  void SetUp() override {
    client_ = testing_support::InstallStandin(root_.path());
    for (const char* part : {"Shelver.exe", "Hookwell.dll"}) {
      ASSERT_TRUE(::CopyFileA(testing_support::BuildOutput(part).c_str(), (extensions_ + "\\" + part).c_str(), FALSE));
    }
    ASSERT_EQ(0u, testing_support::RunProgram("regsvr32 /s " + testing_support::Quote(extensions_ + "\\Hookwell.dll"),
                                              120000));
  }
  void TearDown() override {
    standin_.reset();
    testing_support::RunProgram("regsvr32 /u /s " + testing_support::Quote(extensions_ + "\\Hookwell.dll"), 120000);
    // Later tests find the build's stand-in registered as before.
    testing_support::RegisterStandin(testing_support::BuildOutput("ZorvaneStandin.exe"));
  }

  // Starts the client with a Kelvane channel (7) placing into repository_, and a News channel.
  void StartClient(const std::string& mirror = "N", long cache_size = 40000000, long used = 0, long flags = 4) {
    std::string fixture = "{\"channels\":[{\"id\":7,\"name\":\"Kelvane\",\"flags\":" + std::to_string(flags) +
                          ",\"cacheSize\":" +
                          std::to_string(cache_size) + ",\"variables\":{\"targetdirectory\":" + Quoted(repository_) +
                          ",\"mirrortreeflag\":" + Quoted(mirror) + "}},{\"id\":9,\"name\":\"News\"}]";
    if (used) fixture += ",\"vessiks\":[{\"id\":5001,\"channel\":7,\"size\":" + std::to_string(used) + "}]";
    fixture += "}";
    standin_.emplace(fixture, client_, root_ / "program");
    started_ = standin_->WaitForExtensions();
  }

  // Delivers a Vessik whose list names the files given (each holding its own name).
  void Deliver(long id, long channel, const std::string& title, const std::vector<std::string>& listed,
               bool with_marker = true) {
    std::string list, files;
    for (const std::string& name : listed) {
      list += name + "\r\n";
      if (name.find("..") == std::string::npos && name.find(':') == std::string::npos)
        files += "," + Quoted(name) + ":" + Quoted("contents of " + name);
    }
    std::string json = "{\"id\":" + std::to_string(id) + ",\"channel\":" + std::to_string(channel) + ",\"files\":{" +
                       "\"info.iad\":" + Quoted("[presentation]\r\nname=\"" + title + "\"\r\n") + files +
                       (with_marker ? ",\"MyMendlet.dat\":" + Quoted(list) : std::string()) + "}}";
    StandinClient::Check(standin_->control()->DeliverVessik(Bstr(json).get()), "delivering a Vessik");
  }

  testing_support::RegistryRestore app_paths_{HKEY_LOCAL_MACHINE, kAppPaths};
  testing_support::RegistryRestore client_keys_{HKEY_CURRENT_USER, "Software\\Zorvane"};
  testing_support::RegistryRestore class_{HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid};
  testing_support::RegistryRestore prog_id_{HKEY_CLASSES_ROOT, "Zorvane.HalvernKelvaneClientExt.1"};
  testing_support::RegistryRestore independent_{HKEY_CLASSES_ROOT, "Zorvane.HalvernKelvaneClientExt"};
  testing_support::RegistryRestore type_library_{HKEY_CLASSES_ROOT, "TypeLib\\{2EABB431-9B8E-11D3-9ACE-00008630FDFD}"};
  testing_support::RegistryRestore client_ext_{HKEY_CLASSES_ROOT, "Interface\\{0F4FE440-983F-11D0-9B9C-444553540000}"};
  testing_support::TempDir root_;
  std::string extensions_ = root_ / "Halvern Extensions";
  std::string repository_ = root_ / "Mendlets";
  std::string client_;
  std::string started_;
  std::optional<StandinClient> standin_;
};

TEST_F(RoadTest, KelvaneMendletsArePlacedFlatThenMirrored) {
  StartClient();
  EXPECT_EQ(std::string(kClsid) + " created 0x00000000 started 0x80004005\n", started_);
  Bstr handlers;
  ASSERT_EQ(S_OK, standin_->control()->get_Handlers(handlers.put()));
  EXPECT_EQ("application 1 0x00000001\nsetup 2 0xFFFFFFFF\nchannels 3 0xFFFFFFFF\nvessiks 4 0xFFFFFFFF\n",
            handlers.Ansi());
  standin_->ClearJournal();

  Deliver(101, 7, "[M1] Display driver", {"readme.txt", "driver.inf"});
  ASSERT_TRUE(WaitForFile(repository_ + "\\driver.inf"));
  EXPECT_EQ("contents of readme.txt", ReadFile(repository_ + "\\readme.txt"));
  // Hookwell's hand-over, then Shelver reading its settings.
  std::string journal = standin_->Journal();
  EXPECT_THAT(journal, HasSubstr("Vessik[101].get_Channel()\nChannel[7].get_Name()\nVessik[101].get_Directory()\n"));
  EXPECT_THAT(journal, HasSubstr("Channels.get_Item(\"n:Kelvane\")\nChannel[7].get_Variables()\n"
                                 "Variables[7].get_Item(\"mirrortreeflag\")\n"));

  StandinClient::Check(standin_->control()->ChangeChannel(
                           7, Bstr(std::string("{\"variables\":{\"mirrortreeflag\":\"y \"}}")).get(), 0),
                       "switching to a mirrored tree");
  Deliver(102, 7, "[M2] Audio/Video", {"readme.txt"});
  ASSERT_TRUE(WaitForFile(repository_ + "\\ Audio\\Video\\readme.txt"));
  EXPECT_FALSE(FileExists(repository_ + "\\ Audio\\Video\\driver.inf"));
}

TEST_F(RoadTest, OtherChannelsAndVessiksWithoutTheMarkerStartNothing) {
  StartClient();
  standin_->ClearJournal();
  Deliver(201, 9, "[N1] News", {"readme.txt"});
  Deliver(202, 7, "[M3] No marker", {"readme.txt"}, false);
  ::Sleep(3000);  // time enough for a Shelver that should not have been started
  EXPECT_FALSE(FileExists(repository_));
  EXPECT_THAT(standin_->Journal(), Not(HasSubstr("get_Variables")));
}

TEST_F(RoadTest, AnEntryLeavingTheVessikIsRefusedVisibly) {
  StartClient();
  // Where the entry leads from the Vessik's directory, so that only the refusal stops the copy.
  testing_support::WriteFile(root_ / "data\\outside.txt", "not part of the package");
  std::string escaped = root_.path().substr(0, root_.path().find_last_of('\\')) + "\\outside.txt";
  Deliver(301, 7, "[M4] Hostile", {"first.txt", "..\\..\\outside.txt", "last.txt"});
  auto box = testing_support::WaitForDialog("Kelvane AutoPlace", 60000);
  ASSERT_TRUE(box.has_value());
  EXPECT_THAT(box->Read().message, HasSubstr("Unable to copy file"));
  EXPECT_TRUE(box->Press("OK"));
  EXPECT_TRUE(FileExists(repository_ + "\\first.txt"));
  EXPECT_FALSE(FileExists(repository_ + "\\last.txt"));
  EXPECT_FALSE(FileExists(escaped));
}

TEST_F(RoadTest, ATitleLeavingTheRepositoryStartsNoShelver) {
  StartClient("Y");
  // The refusal box holds up the client's call until it is pressed.
  std::thread presser([] {
    if (auto box = testing_support::WaitForDialog("Kelvane Mendlet", 60000)) box->Press("OK");
  });
  Deliver(401, 7, "[M5] ..\\..\\Escaped", {"readme.txt"});
  presser.join();
  ::Sleep(2000);
  EXPECT_FALSE(FileExists(repository_));
  EXPECT_FALSE(FileExists(root_ / "Escaped"));
  EXPECT_THAT(ReadFile(root_ / "program\\ExtensionDll.log"), HasSubstr("Refused Mendlet title"));
}

TEST_F(RoadTest, LowFreeSpaceIsWarnedAtStartAndEnoughIsNot) {
  std::thread presser([] {
    auto box = testing_support::WaitForDialog("Kelvane Warning", 60000);
    ASSERT_TRUE(box.has_value());
    auto contents = box->Read();
    EXPECT_THAT(contents.message, HasSubstr("less than 12MB of free space"));
    EXPECT_STREQ("warning", DialogIconName(contents.icon));
    box->Press("OK");
  });
  StartClient("N", 20000000, 8000001);  // 11,999,999 bytes free
  presser.join();
  EXPECT_THAT(standin_->Journal(),
              HasSubstr("Channel[7].get_Flags()\nChannel[7].get_CacheSize()\nChannel[7].get_Vessiks()\n"));
  EXPECT_THAT(standin_->Journal(), HasSubstr("Vessik[5001].get_Size()\n"));
  standin_.reset();

  StartClient("N", 20000000, 8000000);  // exactly 12,000,000 free
  EXPECT_TRUE(testing_support::NoDialogFor("Kelvane Warning", 3000));
}

TEST_F(RoadTest, TheChannelsOwnQuotaCountsOnlyWithItsFlag) {
  // 11,999,999 free of the channel's quota, but the channel uses the default space (50,000,000).
  StartClient("N", 20000000, 8000001, 0);
  EXPECT_TRUE(testing_support::NoDialogFor("Kelvane Warning", 3000));
  EXPECT_THAT(standin_->Journal(), Not(HasSubstr("get_CacheSize")));
}

TEST_F(RoadTest, WithoutAKelvaneChannelTheCheckIsLoggedAndShelverCannotReadItsSettings) {
  standin_.emplace("{\"channels\":[{\"id\":9,\"name\":\"News\"}]}", client_, root_ / "program");
  standin_->WaitForExtensions();
  EXPECT_THAT(ReadFile(root_ / "program\\ExtensionDll.log"), HasSubstr("Caught unhandled error"));

  auto shelver = testing_support::Process::Start(testing_support::Quote(extensions_ + "\\Shelver.exe") + " \"" +
                                                 (root_ / "data\\") + "| Title\"");
  auto box = testing_support::WaitForDialog("Place", 60000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Error in reading user profile data", box->Read().message);
  EXPECT_TRUE(box->Press("OK"));
  DWORD code = 0;
  ASSERT_TRUE(shelver.Wait(60000, &code));
  EXPECT_EQ(1u, code);
}

}  // namespace
