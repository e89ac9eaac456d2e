#include <gtest/gtest.h>

#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace testing_support;

TEST(Registry, ReadsWholeTreeAndDeletesIt) {
  const std::string root = "Software\\HalvernTests\\Tree";
  DeleteTree(HKEY_CURRENT_USER, root);
  WriteString(HKEY_CURRENT_USER, root, "", "top");
  WriteString(HKEY_CURRENT_USER, root + "\\Child", "Name", "value");
  WriteDword(HKEY_CURRENT_USER, root + "\\Child\\Grandchild", "Number", 0x12345678);

  auto tree = ReadTree(HKEY_CURRENT_USER, root);
  ASSERT_TRUE(tree.has_value());
  EXPECT_EQ("top", tree->default_value.value_or("?"));
  const RegistryTree& child = tree->subkeys.at("Child");
  EXPECT_FALSE(child.default_value.has_value());
  EXPECT_EQ("value", child.values.at("Name").data);
  EXPECT_EQ(0x12345678u, child.subkeys.at("Grandchild").values.at("Number").AsDword());
  EXPECT_EQ(0x12345678u, ReadDword(HKEY_CURRENT_USER, root + "\\Child\\Grandchild", "Number").value_or(0));

  DeleteTree(HKEY_CURRENT_USER, root);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root));
  EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, root, "").has_value());
  DeleteTree(HKEY_CURRENT_USER, root);  // deleting a missing tree is fine
}

TEST(TempDir, LivesOnDriveCAndGoesWithEverythingInIt) {
  std::string path;
  {
    TempDir dir;
    path = dir.path();
    EXPECT_EQ(0, _strnicmp(path.c_str(), "C:\\", 3));
    WriteFile(dir / "a\\b\\file.txt", "content");
    ::SetFileAttributesA((dir / "a\\b\\file.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("content", ReadFile(dir / "a\\b\\file.txt"));
  }
  EXPECT_FALSE(FileExists(path));
}

TEST(Process, RunProgramGivesExitCodeAndStopsAnOverrunningProgram) {
  std::string shower = Quote(BuildOutput("message_box_program.exe"));
  EXPECT_EQ(255u, RunProgram(shower, 600000));  // wrong argument count
  EXPECT_THROW(RunProgram(shower + " \"Never Answered\" text 0", 1500), std::runtime_error);
}

}  // namespace
