#include "installer_run.h"

#include <stdexcept>

#include "startup_shortcut.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"

namespace installer_tests {

using namespace testing_support;

std::string InstallerProgram() { return Quote(BuildOutput("installer.exe")); }

std::string SettingsFile() {
  char directory[MAX_PATH] = {};
  ::GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\Ostrel.ini";
}

std::string Setting(const char* section, const char* key) {
  char value[260] = {};
  ::GetPrivateProfileStringA(section, key, "", value, sizeof value, SettingsFile().c_str());
  return value;
}

namespace {

std::string StatusLine() {
  for (const char* caption : {"Downloading Software...", "Resuming Download of Software..."}) {
    if (HWND dialog = ::FindWindowA("#32770", caption)) {
      char text[512] = {};
      ::GetDlgItemTextA(dialog, 1002, text, sizeof text);
      return text;
    }
  }
  return "";
}

}  // namespace

InstallerRun RunInstaller(const std::string& command_line, DWORD timeout_ms) {
  InstallerRun run;
  Process process = Process::Start(command_line);
  const DWORD start = ::GetTickCount();
  bool first_box = true;
  while (!process.Wait(100, &run.exit_code)) {
    if (::GetTickCount() - start > timeout_ms) {
      process.Terminate();
      throw std::runtime_error(command_line + " did not end in time");
    }
    for (const char* caption : {"Zorvane Lite Installer", "Zorvane"}) {
      HWND box = ::FindWindowA("#32770", caption);
      if (!box) continue;
      Dialog dialog(box);
      DialogContents contents = dialog.Read();
      if (first_box) run.status_line = StatusLine();
      first_box = false;
      run.boxes.push_back(std::string(caption) + ": " + contents.message);
      if (!dialog.Press("OK") && !dialog.Press("Yes")) ::PostMessageA(box, WM_CLOSE, 0, 0);
      dialog.WaitClosed(10000);
    }
  }
  return run;
}

InstallerMachineState::InstallerMachineState()
    : settings_(SettingsFile()),
      installer_key_(HKEY_CURRENT_USER, "Software\\Zorvane\\ZrGet"),
      client_user_key_(HKEY_CURRENT_USER, "Software\\Zorvane\\Zorvane"),
      client_machine_key_(HKEY_LOCAL_MACHINE, "Software\\Zorvane\\Zorvane") {
  ::DeleteFileA(SettingsFile().c_str());
  installer::DeleteStartupShortcut();
}

InstallerMachineState::~InstallerMachineState() { installer::DeleteStartupShortcut(); }

}  // namespace installer_tests
