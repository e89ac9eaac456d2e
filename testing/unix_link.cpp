#include "testing/unix_link.h"

#include <windows.h>

namespace testing_support {

namespace {

using UnixFileName = char*(CDECL*)(const WCHAR*);

UnixFileName UnixFileNameFunction() {
  return reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

}  // namespace

std::string UnixPath(const std::string& windows_path) {
  UnixFileName unix_file_name = UnixFileNameFunction();
  if (!unix_file_name) return std::string();
  int length = ::MultiByteToWideChar(CP_ACP, 0, windows_path.c_str(), -1, nullptr, 0);
  std::wstring wide(length, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, windows_path.c_str(), -1, &wide[0], length);
  char* unix_path = unix_file_name(wide.c_str());
  if (!unix_path) return std::string();
  std::string result = unix_path;
  ::HeapFree(::GetProcessHeap(), 0, unix_path);
  return result;
}

namespace {

// symlink(2) on i386 Linux: system call 83; 0 or a negative errno.
int LinuxSymlink(const char* target, const char* link) {
  int result;
  asm volatile("int $0x80" : "=a"(result) : "a"(83), "b"(target), "c"(link) : "memory");
  return result;
}

// unlink(2) on i386 Linux: system call 10.
int LinuxUnlink(const char* path) {
  int result;
  asm volatile("int $0x80" : "=a"(result) : "a"(10), "b"(path) : "memory");
  return result;
}

}  // namespace

bool CanMakeUnixLinks() {
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr &&
         UnixFileNameFunction() != nullptr;
}

bool MakeUnixLink(const std::string& target, const std::string& link) {
  if (!CanMakeUnixLinks()) return false;
  const std::string unix_target = UnixPath(target);
  const std::string unix_link = UnixPath(link);
  if (unix_target.empty() || unix_link.empty()) return false;
  return LinuxSymlink(unix_target.c_str(), unix_link.c_str()) == 0;
}

bool RemoveUnixLink(const std::string& link) {
  if (!CanMakeUnixLinks()) return false;
  const std::string unix_link = UnixPath(link);
  return !unix_link.empty() && LinuxUnlink(unix_link.c_str()) == 0;
}

}  // namespace testing_support
