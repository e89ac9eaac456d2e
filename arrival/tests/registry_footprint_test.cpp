// What registering and unregistering Hookwell leaves in the registry, seen whole: every key and
// value of HKEY_CLASSES_ROOT and HKEY_CURRENT_USER before and after.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include <string.h>

#include "comsupport/registry.h"
#include "testing/machine_state.h"
#include "testing/process.h"

namespace {

using comsupport::RegistryTree;
using testing_support::BuildOutput;
using testing_support::Quote;
using testing_support::RunProgram;

const char kClientExtInterface[] = "Interface\\{0F4FE440-983F-11D0-9B9C-444553540000}";
// Unregistration leaves the type library registered; the key is compared on its own.
const char kTypeLibrary[] = "TypeLib\\{2EABB431-9B8E-11D3-9ACE-00008630FDFD}";

// The client's own key for extensions, made when the client is installed.
const char kClientExtensions[] = "Software\\Zorvane\\ClientExtensions";

// Registry names compare without case (Wine spells "Typelib" where others write "TypeLib").
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const { return _stricmp(a.c_str(), b.c_str()) < 0; }
};
bool StartsWith(const std::string& path, const std::string& prefix) {
  return _strnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0;
}

using Flat = std::map<std::string, std::string, NoCase>;

// Every value as "key path|value name" -> "type:data", and every key as "key path" -> "".
void Flatten(const RegistryTree& tree, const std::string& path, Flat& flat) {
  flat[path] = "";
  if (tree.default_value) flat[path + "|"] = "1:" + *tree.default_value;
  for (const auto& [name, value] : tree.values) flat[path + "|" + name] = std::to_string(value.type) + ":" + value.data;
  for (const auto& [name, subtree] : tree.subkeys) Flatten(subtree, path + "\\" + name, flat);
}

Flat Snapshot() {
  Flat flat;
  for (const auto& [root, name] : {std::pair{HKEY_CLASSES_ROOT, "HKCR"}, std::pair{HKEY_CURRENT_USER, "HKCU"}}) {
    std::optional<RegistryTree> tree = comsupport::ReadRegistryTree(root, "");
    if (tree) Flatten(*tree, name, flat);
  }
  return flat;
}

// The differences, as "+ added", "- removed" and "~ changed" lines, leaving out paths below
// any of the ignored prefixes.
std::vector<std::string> Differences(const Flat& before, const Flat& after, const std::vector<std::string>& ignored) {
  auto is_ignored = [&](const std::string& path) {
    for (const std::string& prefix : ignored) {
      if (StartsWith(path, prefix)) return true;
    }
    return false;
  };
  std::vector<std::string> lines;
  for (const auto& [path, value] : before) {
    if (is_ignored(path)) continue;
    auto found = after.find(path);
    if (found == after.end()) {
      lines.push_back("- " + path);
    } else if (found->second != value) {
      lines.push_back("~ " + path + " = " + found->second);
    }
  }
  for (const auto& [path, value] : after) {
    if (!is_ignored(path) && before.find(path) == before.end()) lines.push_back("+ " + path + " = " + value);
  }
  return lines;
}

class RegistryFootprint : public ::testing::Test {
 protected:
  DWORD Regsvr32(const std::string& options) {
    return RunProgram("regsvr32 " + options + " " + Quote(BuildOutput("Hookwell.dll")), 300000);
  }
  void RegisterAndUnregister(Flat& registered, Flat& unregistered) {
    ASSERT_EQ(0u, Regsvr32("/s"));
    registered = Snapshot();
    ASSERT_EQ(0u, Regsvr32("/u /s"));
    unregistered = Snapshot();
  }

  void SetUp() override { comsupport::RegistryKey::Create(HKEY_CURRENT_USER, kClientExtensions, KEY_WRITE); }

  testing_support::RegistryRestore interface_{HKEY_CLASSES_ROOT, kClientExtInterface};
  testing_support::RegistryRestore type_library_{HKEY_CLASSES_ROOT, kTypeLibrary};
  testing_support::RegistryRestore extensions_{HKEY_CURRENT_USER, kClientExtensions};
};

TEST_F(RegistryFootprint, TheClientsInterfaceKeyIsNeverChanged) {
  // As the client registers it: its own library, its own proxy.
  comsupport::RegistryKey key = comsupport::RegistryKey::Create(HKEY_CLASSES_ROOT, kClientExtInterface, KEY_WRITE);
  key.WriteString(nullptr, "IClientExt");
  comsupport::RegistryKey::Create(key.get(), "TypeLib", KEY_WRITE).WriteString(nullptr, "{53FCF357-5323-11D0-A864-0000B43699FC}");
  comsupport::RegistryKey::Create(key.get(), "ProxyStubClsid32", KEY_WRITE).WriteString(nullptr, "{00020424-0000-0000-C000-000000000046}");
  comsupport::DeleteRegistryTree(HKEY_CLASSES_ROOT, kTypeLibrary);
  const Flat before = Snapshot();

  Flat registered;
  Flat unregistered;
  RegisterAndUnregister(registered, unregistered);
  const std::string interface_path = std::string("HKCR\\") + kClientExtInterface;
  for (const Flat* snapshot : {&registered, &unregistered}) {
    Flat kept;
    Flat was;
    for (const auto& [path, value] : *snapshot) {
      if (StartsWith(path, interface_path)) kept[path] = value;
    }
    for (const auto& [path, value] : before) {
      if (StartsWith(path, interface_path)) was[path] = value;
    }
    EXPECT_EQ(was, kept);
  }
  EXPECT_EQ(std::vector<std::string>{}, Differences(before, unregistered, {std::string("HKCR\\") + kTypeLibrary}));
  EXPECT_EQ(1u, unregistered.count(std::string("HKCR\\") + kTypeLibrary)) << "the type library stays registered";
}

TEST_F(RegistryFootprint, UnregistrationLeavesTheRegistryAsItWasBeforeRegistration) {
  comsupport::DeleteRegistryTree(HKEY_CLASSES_ROOT, kClientExtInterface);
  comsupport::DeleteRegistryTree(HKEY_CLASSES_ROOT, kTypeLibrary);
  const Flat before = Snapshot();

  Flat registered;
  Flat unregistered;
  RegisterAndUnregister(registered, unregistered);
  EXPECT_EQ(0u, registered.count(std::string("HKCR\\") + kClientExtInterface))
      << "no key is made for an interface the client owns";
  EXPECT_EQ(std::vector<std::string>{}, Differences(before, unregistered, {std::string("HKCR\\") + kTypeLibrary}));
}

}  // namespace
