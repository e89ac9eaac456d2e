// The arrival road against the stand-in client: the client installed under a root, Hookwell
// registered with regsvr32 and loaded by the client, Shelver in "Halvern Extensions", Vessiks
// delivered on the Kelvane channel and their files placed in the repository.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "comsupport/client_app_paths.h"
#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"
#include "hookwell.h"
#include "log_reader.h"
#include "testing/dialog_driver.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::UniqueHandle;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::StandinClient;
using testing_support::WaitForFile;

const char kClsid[] = "{2EABB432-9B8E-11d3-9ACE-00008630FDFD}";
const char* const kAppPaths = comsupport::kClientAppPathsKey;

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

// Closes and names the dialogs that one process shows while the watch lasts. A box shown inside
// a client call holds the client up until someone answers it; the watch answers it, so that a
// test fails instead of waiting for ever.
class BoxWatch {
 public:
  explicit BoxWatch(DWORD process_id) : process_id_(process_id), thread_([this] { Run(); }) {}
  ~BoxWatch() {
    stop_ = true;
    thread_.join();
  }
  BoxWatch(const BoxWatch&) = delete;
  BoxWatch& operator=(const BoxWatch&) = delete;

  std::vector<std::string> Captions() {
    std::lock_guard<std::mutex> lock(mutex_);
    return captions_;
  }

 private:
  void Run() {
    while (!stop_) {
      ::EnumWindows(&BoxWatch::Visit, reinterpret_cast<LPARAM>(this));
      ::Sleep(100);
    }
  }
  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    auto* watch = reinterpret_cast<BoxWatch*>(self);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char class_name[16] = {};
    ::GetClassNameA(window, class_name, sizeof class_name);
    if (owner != watch->process_id_ || std::strcmp(class_name, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
    std::lock_guard<std::mutex> lock(watch->mutex_);
    if (watch->seen_.insert(window).second) {
      char caption[256] = {};
      ::GetWindowTextA(window, caption, sizeof caption);
      watch->captions_.push_back(caption);
    }
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
  }

  const DWORD process_id_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::set<HWND> seen_;
  std::vector<std::string> captions_;
  std::thread thread_;
};

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

  enum class Marker { kWith, kWithout };
  enum class Description { kWith, kWithout };

  // Delivers a Vessik whose list names the files given (each holding its own name).
  void Deliver(long id, long channel, const std::string& title, const std::vector<std::string>& listed,
               Marker marker = Marker::kWith, Description description = Description::kWith) {
    std::string list, files;
    for (const std::string& name : listed) {
      list += name + "\r\n";
      if (name.find("..") == std::string::npos && name.find(':') == std::string::npos)
        files += Quoted(name) + ":" + Quoted("contents of " + name) + ",";
    }
    if (description == Description::kWith)
      files += "\"info.iad\":" + Quoted("[presentation]\r\nname=\"" + title + "\"\r\n") + ",";
    if (marker == Marker::kWith) files += "\"MyMendlet.dat\":" + Quoted(list) + ",";
    if (!files.empty()) files.pop_back();
    std::string json =
        "{\"id\":" + std::to_string(id) + ",\"channel\":" + std::to_string(channel) + ",\"files\":{" + files + "}}";
    StandinClient::Check(standin_->control()->DeliverVessik(Bstr(json).get()), "delivering a Vessik");
  }

  // Where the client puts the files of a Vessik.
  std::string VessikDirectory(long id) const { return root_ / ("data\\Vessiks\\" + std::to_string(id) + "\\"); }

  // What the extension loaded by the client logged, "<module> <message>" each.
  std::vector<std::string> LogMessages() const { return ReadLog(root_ / "program\\ExtensionDll.log").messages; }

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
  Deliver(202, 7, "[M3] No marker", {"readme.txt"}, Marker::kWithout);
  ::Sleep(3000);  // time enough for a Shelver that should not have been started
  EXPECT_FALSE(FileExists(repository_));
  EXPECT_THAT(standin_->Journal(), Not(HasSubstr("get_Variables")));
  EXPECT_THAT(LogMessages(), IsEmpty());
}

TEST_F(RoadTest, AnEntryLeavingTheVessikIsRefusedVisibly) {
  StartClient();
  // Where the entry leads from the Vessik's directory, so that only the refusal stops the copy.
  testing_support::WriteFile(root_ / "data\\outside.txt", "not part of the package");
  std::string escaped = root_.path().substr(0, root_.path().find_last_of('\\')) + "\\outside.txt";
  Deliver(301, 7, "[M4] Hostile", {"first.txt", "..\\..\\outside.txt", "last.txt"});
  auto box = testing_support::AnswerDialog("Kelvane AutoPlace", "OK", 60000);
  ASSERT_TRUE(box.has_value());
  EXPECT_THAT(box->contents.message, HasSubstr("Unable to copy file"));
  EXPECT_TRUE(box->pressed);
  EXPECT_TRUE(FileExists(repository_ + "\\first.txt"));
  EXPECT_FALSE(FileExists(repository_ + "\\last.txt"));
  EXPECT_FALSE(FileExists(escaped));
}

TEST_F(RoadTest, ATitleWithAColonIsPlacedFlat) {
  StartClient();
  BoxWatch client_boxes(standin_->process().id());
  Deliver(401, 7, "[X1] BIOS update: version 1.2", {"bios.txt"});
  ASSERT_TRUE(WaitForFile(repository_ + "\\bios.txt"));
  EXPECT_EQ("contents of bios.txt", ReadFile(repository_ + "\\bios.txt"));
  EXPECT_THAT(client_boxes.Captions(), IsEmpty());
  EXPECT_THAT(LogMessages(), IsEmpty());
}

TEST_F(RoadTest, ATitleLeavingTheRepositoryIsRefusedByShelverNotInTheClientsCall) {
  StartClient("Y");
  BoxWatch client_boxes(standin_->process().id());
  Deliver(402, 7, "[M5] ..\\..\\Escaped", {"readme.txt"});
  auto box = testing_support::AnswerDialog("Kelvane AutoPlace", "OK", 60000);
  ASSERT_TRUE(box.has_value());
  EXPECT_THAT(box->contents.message, HasSubstr("names a directory outside the Mendlet repository"));
  EXPECT_TRUE(box->pressed);
  EXPECT_THAT(client_boxes.Captions(), IsEmpty());
  EXPECT_FALSE(FileExists(repository_));
  EXPECT_FALSE(FileExists(root_ / "Escaped"));
  EXPECT_THAT(LogMessages(), IsEmpty());
}

TEST_F(RoadTest, LowFreeSpaceIsWarnedAtStartAndEnoughIsNot) {
  std::thread presser([] {
    auto box = testing_support::AnswerDialog("Kelvane Warning", "OK", 60000);
    ASSERT_TRUE(box.has_value());
    EXPECT_THAT(box->contents.message, HasSubstr("less than 12MB of free space"));
    EXPECT_STREQ("warning", DialogIconName(box->contents.icon));
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
  auto box = testing_support::AnswerDialog("Place", "OK", 60000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Error in reading user profile data", box->contents.message);
  EXPECT_TRUE(box->pressed);
  DWORD code = 0;
  ASSERT_TRUE(shelver.Wait(60000, &code));
  EXPECT_EQ(1u, code);
}

TEST_F(RoadTest, ShutdownAfterAStartRevokesTheFourHandlersInOrder) {
  StartClient();
  // A second extension object, in this process and logging here, connected to the same client.
  const std::string log_directory = root_ / "second log";
  ASSERT_TRUE(::CreateDirectoryA(log_directory.c_str(), nullptr));
  char previous_directory[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, previous_directory);
  ASSERT_TRUE(::SetCurrentDirectoryA(log_directory.c_str()));
  ComPtr<IClientExt> extension;
  const HRESULT created = ::CoCreateInstance(CLSID_ClientExt, nullptr, CLSCTX_INPROC_SERVER, IID_IClientExt,
                                             extension.put_void());
  ::SetCurrentDirectoryA(previous_directory);
  ASSERT_EQ(S_OK, created);

  EXPECT_EQ(E_FAIL, extension->Start());
  Bstr handlers;
  ASSERT_EQ(S_OK, standin_->control()->get_Handlers(handlers.put()));
  const std::string own = "application 1 0x00000001\nsetup 2 0xFFFFFFFF\nchannels 3 0xFFFFFFFF\nvessiks 4 0xFFFFFFFF\n";
  ASSERT_EQ(own + "application 5 0x00000001\nsetup 6 0xFFFFFFFF\nchannels 7 0xFFFFFFFF\nvessiks 8 0xFFFFFFFF\n",
            handlers.Ansi());

  standin_->ClearJournal();
  EXPECT_EQ(S_OK, extension.As<IAppNotificationHandler>()->OnShutdown());
  std::vector<std::string> revoked;
  std::istringstream journal(standin_->Journal());
  for (std::string line; std::getline(journal, line);) {
    if (line.find("RevokeNotificationHandler") != std::string::npos) revoked.push_back(line);
  }
  EXPECT_THAT(revoked, ElementsAre("Application.RevokeNotificationHandler(5)", "Setup.RevokeNotificationHandler(6)",
                                   "Channels.RevokeNotificationHandler(7)", "AllVessiks.RevokeNotificationHandler(8)"));
  ASSERT_EQ(S_OK, standin_->control()->get_Handlers(handlers.put()));
  EXPECT_EQ(own, handlers.Ansi());
  extension.reset();
  EXPECT_THAT(ReadLog(log_directory + "\\ExtensionDll.log").messages, IsEmpty());
}

// Shelver replaced by a probe that records how it was started ("shelver_probe").
class ProbeRoadTest : public RoadTest {
 protected:
  void SetUp() override {
    RoadTest::SetUp();
    ASSERT_TRUE(::CopyFileA(testing_support::BuildOutput("shelver_probe.exe").c_str(), shelver_.c_str(), FALSE));
  }

  // The record of the probe's next start ("command line", "own console", "group leader",
  // "test handle"), taken away; empty when the probe did not run within timeout_ms.
  std::map<std::string, std::string> TakeProbeRecord(DWORD timeout_ms = 60000) {
    const std::string path = extensions_ + "\\shelver-probe.txt";
    std::map<std::string, std::string> record;
    if (!WaitForFile(path, timeout_ms)) return record;
    std::istringstream lines(ReadFile(path));
    ::DeleteFileA(path.c_str());
    for (std::string line; std::getline(lines, line);) {
      const size_t colon = line.find(": ");
      if (colon != std::string::npos) record[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return record;
  }

  // The command line that starts Shelver with the argument "<Vessik directory>|<title text>".
  std::string ShelverCommand(long vessik, const std::string& title_text) const {
    return testing_support::Quote(shelver_) + " \"" + VessikDirectory(vessik) + "|" + title_text + "\"";
  }

  const std::string shelver_ = extensions_ + "\\Shelver.exe";
};

TEST_F(ProbeRoadTest, ShelverGetsTheVessikDirectoryAndTheTitleTextInOneArgument) {
  StartClient();
  Deliver(501, 7, "[X1] BIOS update: version 1.2", {"bios.txt"});
  EXPECT_EQ(ShelverCommand(501, " BIOS update: version 1.2"), TakeProbeRecord()["command line"]);
  EXPECT_THAT(LogMessages(), IsEmpty());

  // Without a description file both failures are logged and Shelver still starts, with no title.
  Deliver(502, 7, "", {"bios.txt"}, Marker::kWith, Description::kWithout);
  EXPECT_EQ(ShelverCommand(502, ""), TakeProbeRecord()["command line"]);
  const std::string description = VessikDirectory(502) + "info.iad";
  EXPECT_THAT(LogMessages(),
              ElementsAre("HvIadFile Unable to open iad file " + description + ".  Data in UI will be incomplete.",
                          "ClientExt Unable to find title in Iad File " + description));
}

TEST_F(ProbeRoadTest, ACommandLineOf2048BytesOrMoreIsLoggedAndStartsNothing) {
  StartClient();
  // Vessiks 701 and 702 have directories of the same length.
  const size_t fixed = ShelverCommand(701, "").size();
  Deliver(701, 7, "]" + std::string(2047 - fixed, 't'), {"a.txt"});
  EXPECT_EQ(2047u, TakeProbeRecord()["command line"].size());
  Deliver(702, 7, "]" + std::string(2048 - fixed, 't'), {"a.txt"});
  EXPECT_TRUE(TakeProbeRecord(3000).empty()) << "started with a command line of 2,048 bytes";
  EXPECT_THAT(LogMessages(), ElementsAre("ClientExt Command line for Shelver is 2048 bytes, more than 2047: Mendlet in " +
                                         VessikDirectory(702) + " not placed"));
}

TEST_F(ProbeRoadTest, ShelverHasAConsoleAndProcessGroupOfItsOwnAndInheritsNoHandle) {
  StartClient();
  // A file handle that the client's process would hand down if it let Shelver inherit handles.
  const std::string target = root_ / "handed down.txt";
  UniqueHandle file(::CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  HANDLE in_client = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), file.get(), standin_->process().handle(), &in_client, 0, TRUE,
                                DUPLICATE_SAME_ACCESS));
  testing_support::WriteFile(extensions_ + "\\inherit-handle.txt",
                             std::to_string(reinterpret_cast<ULONG_PTR>(in_client)));

  Deliver(601, 7, "[P1] Probe", {"a.txt"});
  std::map<std::string, std::string> record = TakeProbeRecord();
  EXPECT_EQ("yes", record["own console"]);
  EXPECT_EQ("yes", record["group leader"]);
  EXPECT_EQ("closed", record["test handle"]);
  file.reset();
  EXPECT_EQ("", ReadFile(target));
}

}  // namespace
