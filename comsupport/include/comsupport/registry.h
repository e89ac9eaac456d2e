// Registry reads and writes: one open key (RegistryKey), a whole key tree in memory
// (RegistryTree: for putting back a key another program owns), and deleting a tree.
// Functions report the Win32 error they met; none throws.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "comsupport/unique_handle.h"

namespace comsupport {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::string data;  // the raw bytes; for REG_SZ and REG_EXPAND_SZ without the terminating zero
  DWORD AsDword() const;
};

struct RegistryTree {
  std::optional<std::string> default_value;     // a REG_SZ default value
  std::map<std::string, RegistryValue> values;  // named values, and a default of another type under ""
  std::map<std::string, RegistryTree> subkeys;
};

class RegistryKey {
 public:
  RegistryKey() = default;

  // The key, or an empty one with the reason in *error.
  static RegistryKey Open(HKEY root, const std::string& path, REGSAM access, LONG* error = nullptr);
  static RegistryKey Create(HKEY root, const std::string& path, REGSAM access, LONG* error = nullptr);

  explicit operator bool() const { return static_cast<bool>(key_); }
  HKEY get() const { return key_.get(); }

  // name empty or null: the default value. max_bytes bounds what is read (terminating zero
  // included for texts); a larger value reads as missing.
  std::optional<RegistryValue> Read(const char* name, DWORD max_bytes = kNoLimit, LONG* error = nullptr) const;
  // REG_SZ and REG_EXPAND_SZ as stored; REG_DWORD when dword_as_decimal, in decimal.
  std::optional<std::string> ReadString(const char* name, DWORD max_bytes = kNoLimit,
                                        bool dword_as_decimal = false) const;
  // REG_EXPAND_SZ with its environment variables expanded; REG_SZ as stored.
  std::optional<std::string> ReadExpandedString(const char* name) const;
  std::optional<DWORD> ReadDword(const char* name) const;

  LONG WriteString(const char* name, const std::string& value) const;
  LONG WriteExpandString(const char* name, const std::string& value) const;
  LONG WriteDword(const char* name, DWORD value) const;
  LONG Write(const char* name, const RegistryValue& value) const;

  std::vector<std::string> ValueNames() const;
  std::vector<std::string> SubkeyNames() const;

  static constexpr DWORD kNoLimit = 0xFFFFFFFF;

 private:
  explicit RegistryKey(UniqueHkey key) : key_(std::move(key)) {}
  UniqueHkey key_;
};

// path with everything below it; a missing key is no error (ERROR_SUCCESS).
LONG DeleteRegistryTree(HKEY root, const std::string& path);
// The tree at path, or none when the key cannot be opened.
std::optional<RegistryTree> ReadRegistryTree(HKEY root, const std::string& path);
// Creates path and writes the tree's values and subkeys into it; the first error, or ERROR_SUCCESS.
LONG WriteRegistryTree(HKEY root, const std::string& path, const RegistryTree& tree);

}  // namespace comsupport
