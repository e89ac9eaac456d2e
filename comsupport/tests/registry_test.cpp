#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "comsupport/client_app_paths.h"
#include "comsupport/registry.h"
#include "testing/machine_state.h"

namespace {

using comsupport::RegistryKey;
using comsupport::RegistryTree;

const char kScratch[] = "Software\\Halvern Tests\\Registry";

class Registry : public ::testing::Test {
 protected:
  void TearDown() override { comsupport::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Halvern Tests"); }
  RegistryKey Scratch() { return RegistryKey::Create(HKEY_CURRENT_USER, kScratch, KEY_ALL_ACCESS); }
};

TEST_F(Registry, ValuesReadBackInEachFormAndLargerValuesThanAskedForReadAsMissing) {
  RegistryKey key = Scratch();
  ASSERT_TRUE(key);
  ASSERT_EQ(ERROR_SUCCESS, key.WriteString(nullptr, "default text"));
  ASSERT_EQ(ERROR_SUCCESS, key.WriteString("Name", "value"));
  ASSERT_EQ(ERROR_SUCCESS, key.WriteExpandString("Expand", "%HALVERN_REGISTRY_TEST%\\x"));
  ASSERT_EQ(ERROR_SUCCESS, key.WriteDword("Number", 1234567));
  ::SetEnvironmentVariableA("HALVERN_REGISTRY_TEST", "C:\\There");

  EXPECT_EQ("default text", key.ReadString(nullptr).value_or("?"));
  EXPECT_EQ("default text", key.ReadString("").value_or("?"));
  EXPECT_EQ("value", key.ReadString("Name").value_or("?"));
  EXPECT_EQ("%HALVERN_REGISTRY_TEST%\\x", key.ReadString("Expand").value_or("?"));
  EXPECT_EQ("C:\\There\\x", key.ReadExpandedString("Expand").value_or("?"));
  EXPECT_EQ("value", key.ReadExpandedString("Name").value_or("?"));
  EXPECT_EQ(1234567u, key.ReadDword("Number").value_or(0));
  EXPECT_FALSE(key.ReadString("Number").has_value()) << "a number is no text unless asked for";
  EXPECT_EQ("1234567", key.ReadString("Number", RegistryKey::kNoLimit, true).value_or("?"));
  EXPECT_FALSE(key.ReadDword("Name").has_value());
  EXPECT_FALSE(key.ReadString("Missing").has_value());

  // "value" and its zero are 6 bytes.
  EXPECT_TRUE(key.ReadString("Name", 6).has_value());
  LONG error = ERROR_SUCCESS;
  EXPECT_FALSE(key.Read("Name", 5, &error).has_value());
  EXPECT_EQ(ERROR_MORE_DATA, error);

  std::vector<std::string> names = key.ValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"", "Expand", "Name", "Number"}), names);
}

TEST_F(Registry, TreesCopyExactlyAndDeleteWhole) {
  {
    RegistryKey key = Scratch();
    key.WriteString(nullptr, "top");
    key.WriteDword("Number", 7);
    RegistryKey::Create(key.get(), "Child\\Grandchild", KEY_WRITE).WriteString("Deep", "down");
    comsupport::RegistryValue binary{REG_BINARY, std::string("\x01\x00\x02", 3)};
    RegistryKey::Create(key.get(), "Child", KEY_WRITE).Write("Bytes", binary);
  }
  std::optional<RegistryTree> tree = comsupport::ReadRegistryTree(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(tree);
  EXPECT_EQ((std::vector<std::string>{"Child"}), RegistryKey::Open(HKEY_CURRENT_USER, kScratch, KEY_READ).SubkeyNames());

  ASSERT_EQ(ERROR_SUCCESS, comsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kScratch));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kScratch, KEY_READ));
  EXPECT_EQ(ERROR_SUCCESS, comsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kScratch)) << "missing is no error";

  ASSERT_EQ(ERROR_SUCCESS, comsupport::WriteRegistryTree(HKEY_CURRENT_USER, kScratch, *tree));
  std::optional<RegistryTree> again = comsupport::ReadRegistryTree(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(again);
  EXPECT_EQ("top", again->default_value.value_or("?"));
  EXPECT_EQ(7u, again->values.at("Number").AsDword());
  EXPECT_EQ(std::string("\x01\x00\x02", 3), again->subkeys.at("Child").values.at("Bytes").data);
  EXPECT_EQ(DWORD{REG_BINARY}, again->subkeys.at("Child").values.at("Bytes").type);
  EXPECT_EQ("down", again->subkeys.at("Child").subkeys.at("Grandchild").values.at("Deep").data);
}

TEST_F(Registry, ClientAppPathsGiveStringsAndNumbersWithinTheirBound) {
  testing_support::RegistryRestore restore(HKEY_LOCAL_MACHINE, comsupport::kClientAppPathsKey);
  comsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, comsupport::kClientAppPathsKey);
  EXPECT_FALSE(comsupport::ReadClientAppPath(nullptr, 1024).has_value()) << "no key";

  RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, comsupport::kClientAppPathsKey, KEY_WRITE);
  key.WriteString(nullptr, "C:\\Apps\\Zorvane\\Bin\\Zorvane.exe");
  key.WriteDword("Path", 42);
  EXPECT_EQ("C:\\Apps\\Zorvane\\Bin\\Zorvane.exe", comsupport::ReadClientAppPath(nullptr, 1024).value_or("?"));
  EXPECT_EQ("42", comsupport::ReadClientAppPath("Path", 260).value_or("?"));
  EXPECT_FALSE(comsupport::ReadClientAppPath(nullptr, 10).has_value()) << "longer than asked for";
  comsupport::RegistryValue binary{REG_BINARY, "abc"};
  key.Write("Path", binary);
  EXPECT_FALSE(comsupport::ReadClientAppPath("Path", 260).has_value()) << "other types are skipped";
}

}  // namespace
