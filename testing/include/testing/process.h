// Starting a program under test and waiting for it, always with a time-out.
#pragma once

#include <windows.h>

#include <string>

#include "comsupport/unique_handle.h"

namespace testing_support {

class Process {
 public:
  // Starts command_line (program path first, quoted if it has blanks). Throws on failure.
  static Process Start(const std::string& command_line, const std::string& directory = "");
  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  // A process still running when its owner goes is terminated.
  ~Process();

  DWORD id() const { return id_; }
  HANDLE handle() const { return handle_.get(); }
  // Waits up to timeout_ms; true with *exit_code set when the process ended.
  bool Wait(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
  void Terminate() const;

 private:
  Process(comsupport::UniqueHandle handle, DWORD id) : handle_(std::move(handle)), id_(id) {}
  comsupport::UniqueHandle handle_;
  DWORD id_ = 0;
};

// Runs command_line to its end and returns its exit code; throws when it does not end in time
// (the process is then terminated).
DWORD RunProgram(const std::string& command_line, DWORD timeout_ms,
                 const std::string& directory = "");

// The full Windows path of a file of the build's output folder (bin).
std::string BuildOutput(const std::string& file_name);

// Quotes an argument for a command line.
std::string Quote(const std::string& text);

}  // namespace testing_support
