// Starting a program: the caller names how (creation flags, handle inheritance, folder) and
// gets the process handle to own; the thread handle is closed here.
#pragma once

#include <windows.h>

#include <string>

#include "comsupport/unique_handle.h"

namespace comsupport {

struct ProcessOptions {
  DWORD creation_flags = 0;
  bool inherit_handles = false;
  std::string current_directory;  // empty: the caller's
};

struct StartedProcess {
  UniqueHandle process;  // empty when the program could not be started
  DWORD process_id = 0;
  DWORD error = ERROR_SUCCESS;  // why it could not be started
  explicit operator bool() const { return static_cast<bool>(process); }
};

// command_line holds the program (quoted when it has blanks) and its arguments.
StartedProcess StartProcess(const std::string& command_line, const ProcessOptions& options = {});

// Waits at most timeout_ms; true with *exit_code when the process ended.
bool WaitForProcess(HANDLE process, DWORD timeout_ms, DWORD* exit_code = nullptr);

}  // namespace comsupport
