// The installer program: single instance, download mode and tray mode, and what is cleaned up
// when it ends. Returns the process exit code: 0 completed, 1 cancelled or failed, 2 quit.
#pragma once

#include <string>

namespace installer {

int RunInstaller(const std::string& command_line);

}  // namespace installer
