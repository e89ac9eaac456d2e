#include "testing/machine_state.h"

#include "comsupport/registry.h"
#include "testing/temp_dir.h"

namespace testing_support {

RegistryRestore::RegistryRestore(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
  saved_ = ReadTree(root_, path_);
  if (saved_) return;
  for (size_t at = path_.find('\\'); ; at = path_.find('\\', at + 1)) {
    std::string prefix = path_.substr(0, at);
    if (!KeyExists(root_, prefix)) {
      first_missing_ = prefix;
      break;
    }
    if (at == std::string::npos) break;
  }
}

RegistryRestore::~RegistryRestore() {
  try {
    if (saved_) {
      DeleteTree(root_, path_);
      comsupport::WriteRegistryTree(root_, path_, *saved_);
    } else if (!first_missing_.empty()) {
      DeleteTree(root_, first_missing_);
    }
  } catch (...) {
  }
}

FileRestore::FileRestore(std::string path) : path_(std::move(path)) {
  if (FileExists(path_)) saved_ = ReadFile(path_);
}

FileRestore::~FileRestore() {
  try {
    if (saved_) {
      WriteFile(path_, *saved_);
    } else {
      ::DeleteFileA(path_.c_str());
    }
  } catch (...) {
  }
}

}  // namespace testing_support
