// The "extract%d" and "install%d" commands: a verb, a file of the component's source folder
// and optional arguments.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "comsupport/unique_handle.h"

namespace installer {

struct CommandContext {
  std::string source_directory;
  std::string work_directory;
  std::string installer_command_line;  // passed on to set-up programs
  bool record_scripts = false;         // "/is"
  int* package_number = nullptr;       // counts "INS%d" values
  const std::atomic<bool>* quit = nullptr;
  HANDLE session_ending = nullptr;     // set when Windows ends the session
};

extern const char kInstallComponentsKey[];  // HKCU "SOFTWARE\Zorvane\Zorvane\InstallComponents"

// Runs one command; false (with *error) when it failed or a set-up program wrote "Failed".
bool RunInstallCommand(const std::string& command, const CommandContext& context, std::string* error);

// The target folder chosen by the "package" and "copy" flags.
std::string TargetForFlags(unsigned flags);

// Waits for a process while pumping window messages, in 200-ms steps, until it ends, the quit
// flag is set or the session ends.
void WaitPumping(HANDLE process, const std::atomic<bool>* quit, HANDLE session_ending);

}  // namespace installer
