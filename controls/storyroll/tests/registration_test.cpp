// Registration through the system's regsvr32: the classes, the type library, the two safety
// categories, unregistration, and the codes of a failed registration.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include "comsupport/unique_handle.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace testing_support;

constexpr char kClassKey[] = "CLSID\\{2744346F-FC66-11D1-8F62-00609773422E}";
constexpr char kPageKey[] = "CLSID\\{27443470-FC66-11D1-8F62-00609773422E}";
constexpr char kLibraryKey[] = "TypeLib\\{2744346C-FC66-11D1-8F62-00609773422E}";
constexpr char kScriptable[] = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
constexpr char kInitializable[] = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

class StoryrollRegistration : public ::testing::Test {
 protected:
  // The run's other tests find the machine's classes as they were.
  void TearDown() override { Regsvr32("/u /s"); }
  DWORD Regsvr32(const std::string& options) {
    return RunProgram("regsvr32 " + options + " " + Quote(module_), 300000);
  }
  const std::string module_ = BuildOutput("Storyroll.ocx");
};

TEST_F(StoryrollRegistration, RegistersTheClassesTheLibraryAndBothCategories) {
  ASSERT_EQ(0u, Regsvr32("/s"));
  EXPECT_EQ("Storyroll Control", ReadString(HKEY_CLASSES_ROOT, kClassKey).value_or("-"));
  EXPECT_EQ("Zorvane.StoryrollCtrl.1", ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\ProgID").value_or("-"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\Control"));
  EXPECT_EQ("131473", ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\MiscStatus\\1").value_or("-"));
  EXPECT_EQ("1.0", ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\Version").value_or("-"));
  EXPECT_EQ("{2744346C-FC66-11D1-8F62-00609773422E}",
            ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\TypeLib").value_or("-"));
  EXPECT_EQ("Apartment",
            ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", "ThreadingModel").value_or("-"));
  EXPECT_EQ("Storyroll Property Page", ReadString(HKEY_CLASSES_ROOT, kPageKey).value_or("-"));
  EXPECT_EQ("{27443470-FC66-11D1-8F62-00609773422E}",
            ReadString(HKEY_CLASSES_ROOT, "Zorvane.StoryrollPropPage.1\\CLSID").value_or("-"));
  EXPECT_EQ("Storyroll ActiveX Control module",
            ReadString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\1.0").value_or("-"));
  for (const char* category : {kScriptable, kInitializable}) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\Implemented Categories\\" + category))
        << category;
  }
  EXPECT_EQ("Controls that are safely scriptable",
            ReadString(HKEY_CLASSES_ROOT, std::string("Component Categories\\") + kScriptable, "409").value_or("-"));
  EXPECT_EQ("Controls safely initializable from persistent data",
            ReadString(HKEY_CLASSES_ROOT, std::string("Component Categories\\") + kInitializable, "409").value_or("-"));

  ASSERT_EQ(0u, Regsvr32("/u /s"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kPageKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Zorvane.StoryrollCtrl.1"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\1.0"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string("Component Categories\\") + kScriptable))
      << "the categories are shared and stay";
}

// A module whose type library cannot be loaded (its resource replaced by junk in a copy)
// fails with the type-library code and registers none of its classes.
TEST_F(StoryrollRegistration, AFailedTypeLibraryRegistrationHasItsCode) {
  TempDir folder;
  const std::string copy = folder.path() + "\\Storyroll.ocx";
  ASSERT_TRUE(::CopyFileA(module_.c_str(), copy.c_str(), FALSE));
  // regsvr32 loads the copy from its own folder: the libraries it imports go beside it.
  for (const char* library : {"Ravlin.dll", "Vinnet.dll"}) {
    ASSERT_TRUE(::CopyFileA(BuildOutput(library).c_str(), (folder / library).c_str(), FALSE)) << library;
  }
  HANDLE update = ::BeginUpdateResourceA(copy.c_str(), FALSE);
  ASSERT_TRUE(update);
  char junk[64] = "not a type library";
  ASSERT_TRUE(::UpdateResourceA(update, "TYPELIB", MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                junk, sizeof(junk)));
  ASSERT_TRUE(::EndUpdateResourceA(update, FALSE));

  ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  HMODULE module = ::LoadLibraryA(copy.c_str());
  ASSERT_TRUE(module);
  auto do_register = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(module, "DllRegisterServer"));
  auto do_unregister = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(module, "DllUnregisterServer"));
  ASSERT_TRUE(do_register && do_unregister);
  EXPECT_EQ(SELFREG_E_TYPELIB, do_register());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey)) << "no class registered after the failure";
  EXPECT_EQ(SELFREG_E_TYPELIB, do_unregister());
  ::FreeLibrary(module);
  EXPECT_EQ(5u, RunProgram("regsvr32 /s " + Quote(copy), 300000)) << "regsvr32 reports the failure";
}

}  // namespace
