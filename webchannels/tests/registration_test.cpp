// Registration through the system's regsvr32: every key of the class, the ProgIDs, the three
// categories and the type library; unregistration takes them away.
#include <gtest/gtest.h>

#include "testing/process.h"
#include "testing/registry.h"

namespace {

using namespace testing_support;

constexpr char kClassKey[] = "CLSID\\{70FB349E-0CD8-11D1-9D7B-00C0F018612C}";
constexpr char kLibraryKey[] = "TypeLib\\{70FB3490-0CD8-11D1-9D7B-00C0F018612C}";
constexpr const char* kCategories[] = {"{40FC6ED3-2438-11CF-A3DB-080036F12502}",
                                       "{40FC6ED4-2438-11CF-A3DB-080036F12502}",
                                       "{40FC6ED5-2438-11CF-A3DB-080036F12502}"};

DWORD Regsvr32(const std::string& options) {
  return RunProgram("regsvr32 " + options + " " + Quote(BuildOutput("Chanbind.dll")), 300000);
}

std::string Key(const std::string& below) { return std::string(kClassKey) + "\\" + below; }

TEST(ChanbindRegistration, EveryKeyOfTheClassAndTheLibraryComesAndGoes) {
  ASSERT_EQ(0u, Regsvr32("/s"));
  const std::string module = BuildOutput("Chanbind.dll");
  EXPECT_EQ("ZrChannels Class", ReadString(HKEY_CLASSES_ROOT, kClassKey).value_or("-"));
  EXPECT_EQ("Zorvane.Channels.1", ReadString(HKEY_CLASSES_ROOT, Key("ProgID")).value_or("-"));
  EXPECT_EQ("Zorvane.Channels", ReadString(HKEY_CLASSES_ROOT, Key("VersionIndependentProgID")).value_or("-"));
  EXPECT_EQ("Zorvane.Channels.1", ReadString(HKEY_CLASSES_ROOT, "Zorvane.Channels\\CurVer").value_or("-"));
  EXPECT_EQ("{70FB349E-0CD8-11D1-9D7B-00C0F018612C}",
            ReadString(HKEY_CLASSES_ROOT, "Zorvane.Channels.1\\CLSID").value_or("-"));
  EXPECT_EQ("Apartment", ReadString(HKEY_CLASSES_ROOT, Key("InprocServer32"), "ThreadingModel").value_or("-"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, Key("Control")));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, Key("Programmable")));
  EXPECT_EQ(module + ",1", ReadString(HKEY_CLASSES_ROOT, Key("ToolboxBitmap32")).value_or("-"));
  EXPECT_EQ(module + ",2", ReadString(HKEY_CLASSES_ROOT, Key("DefaultIcon")).value_or("-"));
  EXPECT_EQ("0", ReadString(HKEY_CLASSES_ROOT, Key("MiscStatus")).value_or("-"));
  EXPECT_EQ("131473", ReadString(HKEY_CLASSES_ROOT, Key("MiscStatus\\1")).value_or("-"));
  EXPECT_EQ("{70FB3490-0CD8-11D1-9D7B-00C0F018612C}", ReadString(HKEY_CLASSES_ROOT, Key("TypeLib")).value_or("-"));
  EXPECT_EQ("1.0", ReadString(HKEY_CLASSES_ROOT, Key("Version")).value_or("-"));
  for (const char* category : kCategories) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, Key(std::string("Implemented Categories\\") + category))) << category;
  }
  EXPECT_EQ("Chanbind2 1.0 Type Library", ReadString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\1.0").value_or("-"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Interface\\{2BF41CA0-B440-11D2-B069-00104B6FDBCE}")) << "IChanbind3";

  ASSERT_EQ(0u, Regsvr32("/u /s"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Zorvane.Channels.1"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Zorvane.Channels"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\1.0"));

  // Other tests of the run find the component registered.
  ASSERT_EQ(0u, Regsvr32("/s"));
}

}  // namespace
