// Registry reads and clean-up for tests: a value, a whole key tree, deleting a tree.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "comsupport/registry.h"

namespace testing_support {

using comsupport::RegistryTree;
using comsupport::RegistryValue;

bool KeyExists(HKEY root, const std::string& path);
std::optional<std::string> ReadString(HKEY root, const std::string& path, const std::string& name = "");
std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name);
std::optional<RegistryTree> ReadTree(HKEY root, const std::string& path);
// Deletes path with everything below it; a missing key is not an error.
void DeleteTree(HKEY root, const std::string& path);
void WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value);

}  // namespace testing_support
