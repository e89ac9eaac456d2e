#include "comsupport/process.h"

#include <vector>

namespace comsupport {

StartedProcess StartProcess(const std::string& command_line, const ProcessOptions& options) {
  // CreateProcessA may write into the command line.
  std::vector<char> buffer(command_line.begin(), command_line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  StartedProcess result;
  if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, options.inherit_handles ? TRUE : FALSE,
                        options.creation_flags, nullptr,
                        options.current_directory.empty() ? nullptr : options.current_directory.c_str(), &startup,
                        &started)) {
    result.error = ::GetLastError();
    return result;
  }
  UniqueHandle thread(started.hThread);
  result.process.reset(started.hProcess);
  result.process_id = started.dwProcessId;
  return result;
}

bool WaitForProcess(HANDLE process, DWORD timeout_ms, DWORD* exit_code) {
  if (::WaitForSingleObject(process, timeout_ms) != WAIT_OBJECT_0) return false;
  if (exit_code && !::GetExitCodeProcess(process, exit_code)) *exit_code = 0;
  return true;
}

}  // namespace comsupport
