// Running the real installer.exe under test: its description file, its run with the boxes it
// shows answered, and the machine state it touches put back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "testing/machine_state.h"
#include "testing/temp_dir.h"

namespace installer_tests {

struct InstallerRun {
  DWORD exit_code = 0xFFFFFFFF;
  std::vector<std::string> boxes;  // "caption: text" of each message box answered
  std::string status_line;          // the download dialog's status line when the first box came
};

// Runs command_line (the installer and its arguments), pressing OK (or Yes) in every box with
// caption "Zorvane Lite Installer" or "Zorvane", until it ends (bounded by timeout_ms).
InstallerRun RunInstaller(const std::string& command_line, DWORD timeout_ms = 120000);

// "installer.exe" of the build, quoted.
std::string InstallerProgram();

// The settings file "Ostrel.ini" in the Windows directory.
std::string SettingsFile();
std::string Setting(const char* section, const char* key);

// Puts back what an installer run changes on the machine: the settings file, the installer's
// and the client's registry keys, and the Startup shortcut.
class InstallerMachineState {
 public:
  InstallerMachineState();
  ~InstallerMachineState();

 private:
  testing_support::FileRestore settings_;
  testing_support::RegistryRestore installer_key_;
  testing_support::RegistryRestore client_user_key_;
  testing_support::RegistryRestore client_machine_key_;
};

}  // namespace installer_tests
