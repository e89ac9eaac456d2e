#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "installer_run.h"
#include "startup_shortcut.h"
#include "test_servers.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"
#include "testing/temp_dir.h"

namespace installer_tests {
namespace {

using namespace testing_support;

const char kCaption[] = "Zorvane Lite Installer";

struct Shortcut {
  std::string target, arguments;
};

std::optional<Shortcut> ReadShortcut() {
  std::string path = installer::StartupShortcutPath();
  if (!FileExists(path)) return std::nullopt;
  ::CoInitialize(nullptr);
  Shortcut shortcut;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH] = {};
      ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, 0);
        shortcut.target = text;
        link->GetArguments(text, MAX_PATH);
        shortcut.arguments = text;
      }
      file->Release();
    }
    link->Release();
  }
  ::CoUninitialize();
  return shortcut;
}

// Waits until a top-level window of class_name exists.
HWND WaitForWindowClass(const char* class_name, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    if (HWND window = ::FindWindowA(class_name, nullptr)) return window;
    ::Sleep(50);
  }
  return nullptr;
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A slow transfer (limit_rate on the server) leaves time to act while it runs.
    PublishParts("slow\\client9", SampleBytes(6 * 262144, 9), 262144);
    WriteFile(work_ / "client.inf",
              "[defs]\r\ncomponents=client\r\n\r\n[client]\r\nname=Client\r\nProtocol=http\r\nfiles=client.bin\r\n"
              "site=" + servers_.Site(servers_.http) + "\r\nsourceDir=/slow/client9\r\n");
  }

  // Starts the installer, continues past the welcome and waits for the download dialog.
  Process StartDownloading(const char* dialog_caption = "Downloading Software...") {
    Process process = Process::Start(InstallerProgram() + " -inf " + work_ / "client.inf");
    auto welcome = AnswerDialog(kCaption, "Continue", 30000);
    EXPECT_TRUE(welcome);
    if (welcome) {
      EXPECT_NE(std::string::npos, welcome->contents.texts.empty() ? std::string::npos
                                                                  : welcome->contents.texts[0].find("will download"));
    }
    auto dialog = WaitForDialog(dialog_caption, 30000);
    EXPECT_TRUE(dialog);
    if (dialog) {
      // The status line follows the transfer in kilobytes of the whole.
      std::string status;
      for (int attempt = 0; attempt < 200 && status.find(" of 1536K)...") == std::string::npos; ++attempt) {
        char text[256] = {};
        ::GetDlgItemTextA(dialog->window(), 1002, text, sizeof text);
        status = text;
        ::Sleep(50);
      }
      EXPECT_EQ(0u, status.find("Downloading file 'client.bin' (")) << status;
      EXPECT_NE(std::string::npos, status.find("K of 1536K)...")) << status;
      LRESULT position = ::SendDlgItemMessageA(dialog->window(), 1001, PBM_GETPOS, 0, 0);
      EXPECT_GT(position, 0);
      EXPECT_LE(position, 1536);
    }
    return process;
  }

  const TestServers& servers_ = TestServers::Get();
  InstallerMachineState machine_;
  TempDir work_;
};

TEST_F(TrayTest, SuspendWaitsInTheTrayAndASecondStartResumesTheFirst) {
  Process first = StartDownloading();
  auto dialog = WaitForDialog("Downloading Software...", 1000);
  ASSERT_TRUE(dialog);
  // While downloading, the shortcut resumes without questions after a log-on.
  auto shortcut = ReadShortcut();
  ASSERT_TRUE(shortcut);
  EXPECT_EQ(work_ / "installer.exe", shortcut->target);
  EXPECT_EQ(" /NoIntervention /SaveProxySettings", shortcut->arguments);

  ASSERT_TRUE(dialog->Press("Suspend"));
  auto suspended = AnswerDialog(kCaption, "OK", 30000);
  ASSERT_TRUE(suspended);
  EXPECT_EQ(0u, suspended->contents.message.find("Downloading has been suspended."));
  ASSERT_TRUE(WaitForWindowClass("ZR_OSTREL_TRAY_CLASS", 30000));
  shortcut = ReadShortcut();
  ASSERT_TRUE(shortcut);
  EXPECT_EQ(" /tray /SaveProxySettings", shortcut->arguments);

  // A second start finds the waiting instance, wakes it and leaves.
  DWORD second_exit = 0;
  Process second = Process::Start(InstallerProgram());
  ASSERT_TRUE(second.Wait(60000, &second_exit));
  EXPECT_EQ(1u, second_exit);
  auto resumed = WaitForDialog("Resuming Download of Software...", 30000);
  ASSERT_TRUE(resumed);
  EXPECT_FALSE(::FindWindowA("ZR_OSTREL_TRAY_CLASS", nullptr));

  // Quit asks first; Yes ends the run and removes the shortcut.
  ASSERT_TRUE(resumed->Press("Quit"));
  auto confirm = AnswerDialog(kCaption, "Yes", 30000);
  ASSERT_TRUE(confirm);
  EXPECT_EQ("Are you sure you would like to quit downloading? All downloaded files will be deleted.",
            confirm->contents.message);
  EXPECT_EQ(DialogIcon::Warning, confirm->contents.icon);
  DWORD exit_code = 0;
  ASSERT_TRUE(first.Wait(60000, &exit_code));
  EXPECT_EQ(2u, exit_code);
  EXPECT_FALSE(ReadShortcut());
}

TEST_F(TrayTest, ADoubleClickOnTheIconResumesAndTheDownloadCompletes) {
  Process first = StartDownloading();
  auto dialog = WaitForDialog("Downloading Software...", 1000);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog->Press("Suspend"));
  ASSERT_TRUE(AnswerDialog(kCaption, "OK", 30000));
  HWND tray = WaitForWindowClass("ZR_OSTREL_TRAY_CLASS", 30000);
  ASSERT_TRUE(tray);

  ::PostMessageA(tray, 0x0411, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitForDialog("Resuming Download of Software...", 30000));
  // Once all is there, the installer asks before installing; keeping the files remembers it.
  auto ready = WaitForDialog("Ready to Install", 120000);
  ASSERT_TRUE(ready);
  DialogContents contents = ready->Read();
  ASSERT_EQ(2u, contents.texts.size());
  EXPECT_EQ("Zorvane Lite Installer has finished downloading your Dashel client.", contents.texts[0]);
  EXPECT_EQ("Would you like to install now?", contents.texts[1]);
  ASSERT_TRUE(ready->Press("Cancel"));
  ASSERT_TRUE(AnswerDialog("Cancel Installation", "Keep files", 30000));
  DWORD exit_code = 0;
  ASSERT_TRUE(first.Wait(60000, &exit_code));
  EXPECT_EQ(1u, exit_code);
  EXPECT_EQ("1", Setting("download", "complete"));
  EXPECT_TRUE(ReadFile(work_ / "client.bin") == SampleBytes(6 * 262144, 9));
}

TEST_F(TrayTest, WithRun2ASecondInstanceRunsBesideTheWaitingOneAndQuitCleansUp) {
  Process first = StartDownloading();
  auto dialog = WaitForDialog("Downloading Software...", 1000);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog->Press("Suspend"));
  ASSERT_TRUE(AnswerDialog(kCaption, "OK", 30000));
  HWND tray = WaitForWindowClass("ZR_OSTREL_TRAY_CLASS", 30000);
  ASSERT_TRUE(tray);

  // Without network components a second instance does not end as completed.
  WriteFile(work_ / "empty\\none.inf", "[defs]\r\n");
  EXPECT_EQ(1u, RunProgram(InstallerProgram() + " -run2 -inf " + work_ / "empty\\none.inf", 60000));
  EXPECT_TRUE(::IsWindow(tray));

  ::PostMessageA(tray, WM_COMMAND, 40002, 0);
  DWORD exit_code = 0;
  ASSERT_TRUE(first.Wait(60000, &exit_code));
  EXPECT_EQ(2u, exit_code);
  EXPECT_FALSE(ReadShortcut());
  EXPECT_FALSE(::FindWindowA("ZR_OSTREL_TRAY_CLASS", nullptr));
}

TEST_F(TrayTest, WhenNoRouteWorksTheUserIsAskedForTheHttpSettings) {
  PublishParts("client10", SampleBytes(3000, 10), 4096);
  WriteFile(work_ / "client.inf",
            "[defs]\r\ncomponents=client\r\n\r\n[client]\r\nname=Client\r\nProtocol=http\r\nfiles=client.bin\r\n"
            "site=127.0.0.1:1\r\nsourceDir=/client10\r\nuser=someone\r\nproxyuser=proxyuser\r\n");
  Process process = Process::Start(InstallerProgram() + " -inf " + work_ / "client.inf");
  ASSERT_TRUE(AnswerDialog(kCaption, "Continue", 30000));
  auto settings = WaitForDialog("HTTP Settings", 60000);
  ASSERT_TRUE(settings);
  char text[128] = {};
  ::GetDlgItemTextA(settings->window(), 1020, text, sizeof text);
  EXPECT_STREQ("127.0.0.1:1", text);
  ::GetDlgItemTextA(settings->window(), 1021, text, sizeof text);
  EXPECT_STREQ("someone", text);
  ::GetDlgItemTextA(settings->window(), 1025, text, sizeof text);
  EXPECT_STREQ("proxyuser", text);
  ::SetDlgItemTextA(settings->window(), 1020, servers_.Site(servers_.http).c_str());
  ::SetDlgItemTextA(settings->window(), 1023, "127.0.0.1");
  ::SetDlgItemTextA(settings->window(), 1024, std::to_string(servers_.proxy).c_str());
  ::SetDlgItemTextA(settings->window(), 1026, "proxysecret");
  ASSERT_TRUE(settings->Press("OK"));

  ASSERT_TRUE(AnswerDialog("Ready to Install", "Cancel", 60000));
  ASSERT_TRUE(AnswerDialog("Cancel Installation", "Delete files", 30000));
  DWORD exit_code = 0;
  ASSERT_TRUE(process.Wait(60000, &exit_code));
  EXPECT_EQ(2u, exit_code);
  EXPECT_NE(std::string::npos, ReadFile(servers_.folder + "\\tinyproxy.log").find("/client10/file000.bin"));
  EXPECT_FALSE(ReadShortcut());
}

TEST_F(TrayTest, TheSessionEndingSuspendsAndTheNextStartAsksBeforeResuming) {
  Process first = StartDownloading();
  auto dialog = WaitForDialog("Downloading Software...", 1000);
  ASSERT_TRUE(dialog);
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(dialog->window(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &answer);
  DWORD exit_code = 0;
  ASSERT_TRUE(first.Wait(60000, &exit_code));
  EXPECT_EQ(3u, exit_code);
  auto shortcut = ReadShortcut();
  ASSERT_TRUE(shortcut);
  EXPECT_EQ(" /tray /AskForRestart /SaveProxySettings", shortcut->arguments);

  // After the next log-on: No waits in the tray, whose Quit then gives up for good.
  Process next = Process::Start(InstallerProgram() + " -inf " + work_ / "client.inf" + " /AskForRestart");
  auto question = AnswerDialog(kCaption, "No", 30000);
  ASSERT_TRUE(question);
  EXPECT_EQ(0u, question->contents.message.find("Zorvane Lite Installer is now ready to resume downloading."));
  HWND tray = WaitForWindowClass("ZR_OSTREL_TRAY_CLASS", 30000);
  ASSERT_TRUE(tray);
  ::PostMessageA(tray, WM_COMMAND, 40002, 0);
  ASSERT_TRUE(next.Wait(60000, &exit_code));
  EXPECT_EQ(2u, exit_code);
  EXPECT_FALSE(ReadShortcut());
}

TEST_F(TrayTest, ExitInTheWelcomeQuits) {
  Process process = Process::Start(InstallerProgram() + " -inf " + work_ / "client.inf");
  ASSERT_TRUE(AnswerDialog(kCaption, "Exit", 30000));
  DWORD exit_code = 0;
  ASSERT_TRUE(process.Wait(60000, &exit_code));
  EXPECT_EQ(2u, exit_code);
  EXPECT_FALSE(ReadShortcut());
  EXPECT_FALSE(FileExists(work_ / "client.bin"));
}

TEST_F(TrayTest, ASecondStartWhileDownloadingIsRefused) {
  Process first = StartDownloading();
  Process second = Process::Start(InstallerProgram());
  auto refused = AnswerDialog(kCaption, "OK", 30000);
  ASSERT_TRUE(refused);
  EXPECT_EQ("You may not run multiple instances of this application.", refused->contents.message);
  EXPECT_EQ(DialogIcon::Error, refused->contents.icon);
  DWORD exit_code = 0;
  EXPECT_TRUE(second.Wait(30000, &exit_code));
  auto dialog = WaitForDialog("Downloading Software...", 1000);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog->Press("Quit"));
  ASSERT_TRUE(AnswerDialog(kCaption, "Yes", 30000));
  EXPECT_TRUE(first.Wait(60000, &exit_code));
}

}  // namespace
}  // namespace installer_tests
