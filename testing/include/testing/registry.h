// Registry reads and clean-up for tests: a value, a whole key tree, deleting a tree.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace testing_support {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::string data;  // raw bytes; for REG_SZ without the terminating zero
  DWORD AsDword() const;
};

struct RegistryTree {
  std::optional<std::string> default_value;
  std::map<std::string, RegistryValue> values;  // named values only
  std::map<std::string, RegistryTree> subkeys;
};

bool KeyExists(HKEY root, const std::string& path);
std::optional<std::string> ReadString(HKEY root, const std::string& path, const std::string& name = "");
std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name);
std::optional<RegistryTree> ReadTree(HKEY root, const std::string& path);
// Deletes path with everything below it; a missing key is not an error.
void DeleteTree(HKEY root, const std::string& path);
void WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value);

}  // namespace testing_support
