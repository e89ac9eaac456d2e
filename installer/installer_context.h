// What the parts of one installer run share: its options, where it works, and how the run
// is going.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "command_line.h"
#include "comsupport/unique_handle.h"

namespace installer {

enum class DialogEnd { kCompleted, kCancelled, kQuit, kSuspended };

struct InstallerContext {
  Options options;
  std::string installer_path;       // this executable
  std::string work_directory;
  bool resumed = false;             // a resumed run: no welcome question
  bool allow_intervention = true;
  bool save_proxy_settings = false;
  bool network_needed = false;
  bool session_ending = false;
  std::atomic<bool> quit{false};
  comsupport::UniqueHandle session_end_event;  // set on WM_QUERYENDSESSION
};

}  // namespace installer
