// Stands in for Shelver in the arrival road tests and records how Hookwell started it, in
// "shelver-probe.txt" beside itself:
//   command line: <its command line>
//   own console: yes|no            (no other process is attached to its console)
//   group leader: yes|no           (it leads a process group of its own)
//   test handle: open|closed|not given
// The test handle is a file handle that the test made inheritable in the client's process and
// whose value it wrote to "inherit-handle.txt" beside the probe; "open" means the probe could
// write through it, so the handle was inherited.
#include <windows.h>
#include <winternl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string OwnDirectory() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path);
  return directory.substr(0, directory.find_last_of('\\') + 1);
}

bool HasOwnConsole() {
  DWORD processes[8] = {};
  const DWORD count = ::GetConsoleProcessList(processes, 8);
  return count == 1 && processes[0] == ::GetCurrentProcessId();
}

// A process started with CREATE_NEW_PROCESS_GROUP leads its own group: its process parameters
// carry ConsoleFlags 1 (Ctrl+C ignored, at 0x14 in the 32-bit layout) and, where the system
// records it, ProcessGroupId (at 0x29C) set to its own id.
bool LeadsOwnProcessGroup() {
  using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query || query(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return false;
  const auto* parameters = reinterpret_cast<const BYTE*>(basic.PebBaseAddress->ProcessParameters);
  ULONG console_flags = 0;
  ULONG group = 0;
  ::CopyMemory(&console_flags, parameters + 0x14, sizeof console_flags);
  ::CopyMemory(&group, parameters + 0x29C, sizeof group);
  return (console_flags & 1) != 0 || group == ::GetCurrentProcessId();
}

std::string TestHandleState(const std::string& directory) {
  std::ifstream value_file(directory + "inherit-handle.txt");
  unsigned long value = 0;
  if (!(value_file >> value)) return "not given";
  const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
  DWORD written = 0;
  const bool open = ::GetFileType(handle) == FILE_TYPE_DISK && ::WriteFile(handle, "inherited", 9, &written, nullptr);
  return open ? "open" : "closed";
}

}  // namespace

int main() {
  const std::string directory = OwnDirectory();
  std::ostringstream record;
  record << "command line: " << ::GetCommandLineA() << "\n"
         << "own console: " << (HasOwnConsole() ? "yes" : "no") << "\n"
         << "group leader: " << (LeadsOwnProcessGroup() ? "yes" : "no") << "\n"
         << "test handle: " << TestHandleState(directory) << "\n";
  // Written aside and renamed, so that the test never reads half a record.
  const std::string pending = directory + "shelver-probe.tmp";
  {
    std::ofstream file(pending, std::ios::binary | std::ios::trunc);
    file << record.str();
    if (!file.flush()) return 2;
  }
  return ::MoveFileExA(pending.c_str(), (directory + "shelver-probe.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
