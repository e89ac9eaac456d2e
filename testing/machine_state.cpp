#include "testing/machine_state.h"

#include "comsupport/unique_handle.h"
#include "testing/temp_dir.h"

namespace testing_support {

namespace {

void WriteTree(HKEY root, const std::string& path, const RegistryTree& tree) {
  comsupport::UniqueHkey key;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return;
  if (tree.default_value) {
    ::RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(tree.default_value->c_str()),
                     static_cast<DWORD>(tree.default_value->size() + 1));
  }
  for (const auto& [name, value] : tree.values) {
    std::string data = value.data;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) data.push_back('\0');
    ::RegSetValueExA(key.get(), name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
  }
  key.reset();
  for (const auto& [name, subtree] : tree.subkeys) WriteTree(root, path + "\\" + name, subtree);
}

}  // namespace

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
      WriteTree(root_, path_, *saved_);
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
