#include "testing/process.h"

#include "comsupport/process.h"

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

Process Process::Start(const std::string& command_line, const std::string& directory) {
  comsupport::ProcessOptions options;
  options.current_directory = directory;
  comsupport::StartedProcess started = comsupport::StartProcess(command_line, options);
  if (!started) throw std::runtime_error("cannot start " + command_line + ": error " + std::to_string(started.error));
  return Process(std::move(started.process), started.process_id);
}

Process::~Process() {
  if (handle_ && ::WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT) Terminate();
}

bool Process::Wait(DWORD timeout_ms, DWORD* exit_code) const {
  return comsupport::WaitForProcess(handle_.get(), timeout_ms, exit_code);
}

void Process::Terminate() const {
  ::TerminateProcess(handle_.get(), 0xDEAD);
  ::WaitForSingleObject(handle_.get(), 5000);
}

DWORD RunProgram(const std::string& command_line, DWORD timeout_ms, const std::string& directory) {
  Process process = Process::Start(command_line, directory);
  DWORD exit_code = 0;
  if (!process.Wait(timeout_ms, &exit_code)) {
    process.Terminate();
    throw std::runtime_error(command_line + " did not end within " + std::to_string(timeout_ms) + " ms");
  }
  return exit_code;
}

std::string BuildOutput(const std::string& file_name) {
  const char* bin = std::getenv("HALVERN_BIN");
  if (!bin || !*bin) throw std::runtime_error("HALVERN_BIN is not set: run the tests through ctest");
  return std::string(bin) + "\\" + file_name;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

}  // namespace testing_support
