#include "testing/registry.h"

#include <stdexcept>

namespace testing_support {

namespace {

using comsupport::RegistryKey;

RegistryKey Create(HKEY root, const std::string& path) {
  LONG status = ERROR_SUCCESS;
  RegistryKey key = RegistryKey::Create(root, path, KEY_WRITE, &status);
  if (!key) throw std::runtime_error("cannot create key " + path + ": " + std::to_string(status));
  return key;
}

}  // namespace

bool KeyExists(HKEY root, const std::string& path) {
  return static_cast<bool>(RegistryKey::Open(root, path, KEY_READ));
}

std::optional<std::string> ReadString(HKEY root, const std::string& path, const std::string& name) {
  std::optional<RegistryValue> value = RegistryKey::Open(root, path, KEY_READ).Read(name.c_str());
  if (!value) return std::nullopt;
  return value->data;
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name) {
  return RegistryKey::Open(root, path, KEY_READ).ReadDword(name.c_str());
}

std::optional<RegistryTree> ReadTree(HKEY root, const std::string& path) {
  return comsupport::ReadRegistryTree(root, path);
}

void DeleteTree(HKEY root, const std::string& path) {
  LONG status = comsupport::DeleteRegistryTree(root, path);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot delete key " + path + ": " + std::to_string(status));
}

void WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  Create(root, path).WriteString(name.c_str(), value);
}

void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  Create(root, path).WriteDword(name.c_str(), value);
}

}  // namespace testing_support
