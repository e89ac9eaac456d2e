#include "testing/temp_dir.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "comsupport/unique_handle.h"

namespace testing_support {

namespace {

void CreateDirectories(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  ::CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

TempDir::TempDir() {
  static LONG counter = 0;  // unique names within one test process
  const std::string root = "C:\\halvern-tests";
  ::CreateDirectoryA(root.c_str(), nullptr);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << root << "\\t" << ::GetCurrentProcessId() << "-" << ::InterlockedIncrement(&counter);
    if (::CreateDirectoryA(name.str().c_str(), nullptr)) {
      path_ = name.str();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory under " + root);
}

TempDir::~TempDir() { RemoveTree(path_); }

bool RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  comsupport::UniqueFindHandle find(::FindFirstFileA((path + "\\*").c_str(), &entry));
  if (find) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = path + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find.get(), &entry));
  }
  find.reset();
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::RemoveDirectoryA(path.c_str()) || ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) CreateDirectories(path.substr(0, slash));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitForFile(const std::string& path, DWORD timeout_ms) {
  for (DWORD start = ::GetTickCount();; ::Sleep(50)) {
    if (FileExists(path)) return true;
    if (::GetTickCount() - start >= timeout_ms) return false;
  }
}

}  // namespace testing_support
