// Puts back machine-wide state that a test changes: a registry key tree, or one file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "testing/registry.h"

namespace testing_support {

// Remembers a key as it is (or that it is missing, with the first missing ancestor) and
// restores exactly that when it goes.
class RegistryRestore {
 public:
  RegistryRestore(HKEY root, std::string path);
  ~RegistryRestore();
  RegistryRestore(const RegistryRestore&) = delete;
  RegistryRestore& operator=(const RegistryRestore&) = delete;

 private:
  HKEY root_;
  std::string path_;
  std::string first_missing_;  // the key to delete when path_ did not exist
  std::optional<RegistryTree> saved_;
};

// Remembers a file's bytes (or its absence) and puts them back.
class FileRestore {
 public:
  explicit FileRestore(std::string path);
  ~FileRestore();
  FileRestore(const FileRestore&) = delete;
  FileRestore& operator=(const FileRestore&) = delete;

 private:
  std::string path_;
  std::optional<std::string> saved_;
};

}  // namespace testing_support
