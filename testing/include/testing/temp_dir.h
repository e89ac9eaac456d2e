// A fresh directory under drive C of the test prefix, removed with everything in it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, without a trailing backslash.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// Recursively removes a directory tree (read-only files included); false if something stayed.
bool RemoveTree(const std::string& path);
// Writes bytes to a file, creating the directories on the way.
void WriteFile(const std::string& path, const std::string& bytes);
// The whole file; throws when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Polls until path exists; false after timeout_ms.
bool WaitForFile(const std::string& path, DWORD timeout_ms = 60000);

}  // namespace testing_support
