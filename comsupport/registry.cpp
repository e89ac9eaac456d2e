#include "comsupport/registry.h"

#include <cstring>

namespace comsupport {

namespace {

// The longest value name the registry allows, and its terminating zero.
constexpr DWORD kMaximumNameLength = 16384;

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

const char* NameOrDefault(const char* name) { return name && *name ? name : nullptr; }

LONG SetValue(HKEY key, const char* name, DWORD type, const void* data, size_t size) {
  return ::RegSetValueExA(key, NameOrDefault(name), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size));
}

RegistryTree ReadKey(HKEY key) {
  RegistryTree tree;
  std::vector<char> name(kMaximumNameLength);
  for (DWORD index = 0;; ++index) {
    DWORD length = kMaximumNameLength;
    if (::RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const char* value_name = length ? name.data() : nullptr;
    if (::RegQueryValueExA(key, value_name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
    std::string data(size, '\0');
    if (::RegQueryValueExA(key, value_name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
        ERROR_SUCCESS)
      continue;
    data.resize(size);
    if (IsText(type) && !data.empty() && data.back() == '\0') data.pop_back();
    if (length == 0 && type == REG_SZ) {
      tree.default_value = data;
    } else {
      tree.values[std::string(name.data(), length)] = RegistryValue{type, data};
    }
  }
  for (DWORD index = 0;; ++index) {
    DWORD length = kMaximumNameLength;
    if (::RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    UniqueHkey child;
    if (::RegOpenKeyExA(key, name.data(), 0, KEY_READ, child.put()) != ERROR_SUCCESS) continue;
    tree.subkeys[std::string(name.data(), length)] = ReadKey(child.get());
  }
  return tree;
}

}  // namespace

DWORD RegistryValue::AsDword() const {
  DWORD number = 0;
  if (data.size() >= sizeof number) std::memcpy(&number, data.data(), sizeof number);
  return number;
}

RegistryKey RegistryKey::Open(HKEY root, const std::string& path, REGSAM access, LONG* error) {
  UniqueHkey key;
  LONG status = ::RegOpenKeyExA(root, path.c_str(), 0, access, key.put());
  if (error) *error = status;
  if (status != ERROR_SUCCESS) key.reset();
  return RegistryKey(std::move(key));
}

RegistryKey RegistryKey::Create(HKEY root, const std::string& path, REGSAM access, LONG* error) {
  UniqueHkey key;
  LONG status = ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr);
  if (error) *error = status;
  if (status != ERROR_SUCCESS) key.reset();
  return RegistryKey(std::move(key));
}

std::optional<RegistryValue> RegistryKey::Read(const char* name, DWORD max_bytes, LONG* error) const {
  LONG status = ERROR_INVALID_HANDLE;
  std::optional<RegistryValue> result;
  if (key_) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    status = ::RegQueryValueExA(key_.get(), NameOrDefault(name), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && size > max_bytes) status = ERROR_MORE_DATA;
    if (status == ERROR_SUCCESS) {
      // The value may grow between the two calls: the second one then fails with ERROR_MORE_DATA.
      std::string data(size, '\0');
      status = ::RegQueryValueExA(key_.get(), NameOrDefault(name), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
      if (status == ERROR_SUCCESS) {
        data.resize(size);
        // A text stored without its zero, or with data after it, ends at the first zero.
        if (IsText(type)) data.resize(std::strlen(data.c_str()));
        result = RegistryValue{type, std::move(data)};
      }
    }
  }
  if (error) *error = status;
  return result;
}

std::optional<std::string> RegistryKey::ReadString(const char* name, DWORD max_bytes, bool dword_as_decimal) const {
  std::optional<RegistryValue> value = Read(name, max_bytes);
  if (!value) return std::nullopt;
  if (IsText(value->type)) return value->data;
  if (dword_as_decimal && value->type == REG_DWORD && value->data.size() == sizeof(DWORD))
    return std::to_string(value->AsDword());
  return std::nullopt;
}

std::optional<std::string> RegistryKey::ReadExpandedString(const char* name) const {
  std::optional<RegistryValue> value = Read(name);
  if (!value || !IsText(value->type)) return std::nullopt;
  if (value->type == REG_SZ) return value->data;
  DWORD needed = ::ExpandEnvironmentStringsA(value->data.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::string expanded(needed, '\0');
  DWORD written = ::ExpandEnvironmentStringsA(value->data.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) return std::nullopt;
  expanded.resize(written - 1);
  return expanded;
}

std::optional<DWORD> RegistryKey::ReadDword(const char* name) const {
  std::optional<RegistryValue> value = Read(name, sizeof(DWORD));
  if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return std::nullopt;
  return value->AsDword();
}

LONG RegistryKey::WriteString(const char* name, const std::string& value) const {
  return SetValue(key_.get(), name, REG_SZ, value.c_str(), value.size() + 1);
}

LONG RegistryKey::WriteExpandString(const char* name, const std::string& value) const {
  return SetValue(key_.get(), name, REG_EXPAND_SZ, value.c_str(), value.size() + 1);
}

LONG RegistryKey::WriteDword(const char* name, DWORD value) const {
  return SetValue(key_.get(), name, REG_DWORD, &value, sizeof value);
}

LONG RegistryKey::Write(const char* name, const RegistryValue& value) const {
  if (!IsText(value.type)) return SetValue(key_.get(), name, value.type, value.data.data(), value.data.size());
  return SetValue(key_.get(), name, value.type, value.data.c_str(), value.data.size() + 1);
}

std::vector<std::string> RegistryKey::ValueNames() const {
  std::vector<std::string> names;
  std::vector<char> name(kMaximumNameLength);
  for (DWORD index = 0; key_; ++index) {
    DWORD length = kMaximumNameLength;
    if (::RegEnumValueA(key_.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(name.data(), length);
  }
  return names;
}

std::vector<std::string> RegistryKey::SubkeyNames() const {
  std::vector<std::string> names;
  std::vector<char> name(kMaximumNameLength);
  for (DWORD index = 0; key_; ++index) {
    DWORD length = kMaximumNameLength;
    if (::RegEnumKeyExA(key_.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(name.data(), length);
  }
  return names;
}

LONG DeleteRegistryTree(HKEY root, const std::string& path) {
  LONG status = ::RegDeleteTreeA(root, path.c_str());
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  // RegDeleteTree empties the key; the key itself goes here.
  status = ::RegDeleteKeyA(root, path.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

std::optional<RegistryTree> ReadRegistryTree(HKEY root, const std::string& path) {
  UniqueHkey key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  return ReadKey(key.get());
}

LONG WriteRegistryTree(HKEY root, const std::string& path, const RegistryTree& tree) {
  LONG error = ERROR_SUCCESS;
  RegistryKey key = RegistryKey::Create(root, path, KEY_WRITE, &error);
  if (!key) return error;
  LONG first = ERROR_SUCCESS;
  auto keep_first = [&first](LONG status) {
    if (first == ERROR_SUCCESS) first = status;
  };
  if (tree.default_value) keep_first(key.WriteString(nullptr, *tree.default_value));
  for (const auto& [name, value] : tree.values) keep_first(key.Write(name.c_str(), value));
  for (const auto& [name, subtree] : tree.subkeys) keep_first(WriteRegistryTree(key.get(), name, subtree));
  return first;
}

}  // namespace comsupport
