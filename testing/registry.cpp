#include "testing/registry.h"

#include <stdexcept>
#include <vector>

#include "comsupport/unique_handle.h"

namespace testing_support {

namespace {

using comsupport::UniqueHkey;

UniqueHkey Open(HKEY root, const std::string& path) {
  UniqueHkey key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

std::optional<RegistryValue> Query(HKEY key, const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string data(size, '\0');
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && !data.empty() && data.back() == '\0') data.pop_back();
  return RegistryValue{type, data};
}

RegistryTree ReadKey(HKEY key) {
  RegistryTree tree;
  char name[16384];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (::RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    std::optional<RegistryValue> value = Query(key, name);
    if (!value) continue;
    if (length == 0) {
      tree.default_value = value->data;
    } else {
      tree.values[name] = *value;
    }
  }
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    UniqueHkey child = Open(key, name);
    if (child) tree.subkeys[name] = ReadKey(child.get());
  }
  return tree;
}

UniqueHkey Create(HKEY root, const std::string& path) {
  UniqueHkey key;
  LONG status = ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot create key " + path + ": " + std::to_string(status));
  return key;
}

}  // namespace

DWORD RegistryValue::AsDword() const {
  DWORD number = 0;
  if (data.size() >= sizeof number) memcpy(&number, data.data(), sizeof number);
  return number;
}

bool KeyExists(HKEY root, const std::string& path) { return static_cast<bool>(Open(root, path)); }

std::optional<std::string> ReadString(HKEY root, const std::string& path, const std::string& name) {
  UniqueHkey key = Open(root, path);
  if (!key) return std::nullopt;
  std::optional<RegistryValue> value = Query(key.get(), name);
  if (!value) return std::nullopt;
  return value->data;
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name) {
  UniqueHkey key = Open(root, path);
  if (!key) return std::nullopt;
  std::optional<RegistryValue> value = Query(key.get(), name);
  if (!value || value->type != REG_DWORD) return std::nullopt;
  return value->AsDword();
}

std::optional<RegistryTree> ReadTree(HKEY root, const std::string& path) {
  UniqueHkey key = Open(root, path);
  if (!key) return std::nullopt;
  return ReadKey(key.get());
}

void DeleteTree(HKEY root, const std::string& path) {
  LONG status = ::RegDeleteTreeA(root, path.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    ::RegDeleteKeyA(root, path.c_str());
    return;
  }
  throw std::runtime_error("cannot delete key " + path + ": " + std::to_string(status));
}

void WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  UniqueHkey key = Create(root, path);
  ::RegSetValueExA(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
}

void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  UniqueHkey key = Create(root, path);
  ::RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace testing_support
