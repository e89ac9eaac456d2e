#include "registrar.h"

#include <windows.h>

#include "comsupport/process.h"
#include "comsupport/unique_handle.h"

namespace enroller {

namespace {

// A registration that never ends (a broken registrar script can spin) must not stall the rest.
constexpr DWORD kRegistrationTimeoutMs = 5 * 60 * 1000;

std::string SystemDirectory() {
  char buffer[MAX_PATH] = {};
  UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "C:\\Windows\\System32";
  return buffer;
}

void RegisterFile(InstallLog& log, const std::string& system_directory, const std::string& file) {
  std::string command = "\"" + system_directory + "\\regsvr32.exe\" /s \"" + file + "\"";
  comsupport::StartedProcess registration = comsupport::StartProcess(command);
  if (!registration) {
    log.Line("Unable to create process. Error:" + std::to_string(registration.error));
    log.Line("Unable to register " + file);
    return;
  }
  if (!comsupport::WaitForProcess(registration.process.get(), kRegistrationTimeoutMs)) {
    log.Line("Registration of " + file + " did not end in time");
  }
  log.Line(file + " is registered");
}

}  // namespace

void RegisterAll(InstallLog& log, const std::string& directory, const std::string& kind) {
  RegisterAll(log, directory, kind, SystemDirectory());
}

void RegisterAll(InstallLog& log, const std::string& directory, const std::string& kind,
                 const std::string& system_directory) {
  WIN32_FIND_DATAA found;
  comsupport::UniqueFindHandle search(::FindFirstFileA((directory + "\\*." + kind).c_str(), &found));
  if (!search) return;
  do {
    RegisterFile(log, system_directory, directory + "\\" + found.cFileName);
  } while (::FindNextFileA(search.get(), &found));
}

}  // namespace enroller
