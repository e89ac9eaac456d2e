#include <gtest/gtest.h>

#include "comsupport/registry.h"
#include "comsupport/this_module.h"
#include "comsupport/type_library_registration.h"
#include "kit_test.h"
#include "testing/machine_state.h"

namespace {

using comsupport::ReadRegistryTree;
using comsupport::RegistryTree;

const char kOwnKey[] = "Interface\\{6E1B2C30-4A5D-4E6F-8A9B-0C1D2E3F4A50}";
const char kForeignKey[] = "Interface\\{6E1B2C31-4A5D-4E6F-8A9B-0C1D2E3F4A50}";
const char kLibraryKey[] = "TypeLib\\{6E1B2C32-4A5D-4E6F-8A9B-0C1D2E3F4A50}";

bool Exists(const char* key) { return static_cast<bool>(comsupport::RegistryKey::Open(HKEY_CLASSES_ROOT, key, KEY_READ)); }

class TypeLibraryRegistration : public ::testing::Test {
 protected:
  testing_support::RegistryRestore own_key_{HKEY_CLASSES_ROOT, kOwnKey};
  testing_support::RegistryRestore foreign_key_{HKEY_CLASSES_ROOT, kForeignKey};
  testing_support::RegistryRestore library_key_{HKEY_CLASSES_ROOT, kLibraryKey};
  const std::string path_ = comsupport::ModulePath(nullptr);
  const std::vector<IID> foreign_ = {IID_IKitForeign};
};

TEST_F(TypeLibraryRegistration, ForeignInterfaceKeysStayAsTheirOwnerWroteThem) {
  // The owner's key, with a value of its own that registration would not write.
  comsupport::RegistryKey owner = comsupport::RegistryKey::Create(HKEY_CLASSES_ROOT, kForeignKey, KEY_WRITE);
  owner.WriteString(nullptr, "IKitForeign of its owner");
  comsupport::RegistryKey::Create(owner.get(), "TypeLib", KEY_WRITE).WriteString(nullptr, "{00000000-1111-2222-3333-444444444444}");
  owner.WriteDword("Marker", 5);
  const std::optional<RegistryTree> before = ReadRegistryTree(HKEY_CLASSES_ROOT, kForeignKey);

  ASSERT_EQ(S_OK, comsupport::RegisterTypeLibrary(path_, foreign_));
  EXPECT_TRUE(Exists(kLibraryKey));
  EXPECT_TRUE(Exists(kOwnKey)) << "the library's own interfaces are registered";
  std::optional<RegistryTree> after = ReadRegistryTree(HKEY_CLASSES_ROOT, kForeignKey);
  ASSERT_TRUE(after);
  EXPECT_EQ(before->default_value, after->default_value);
  EXPECT_EQ("{00000000-1111-2222-3333-444444444444}", after->subkeys.at("TypeLib").default_value.value_or("?"));
  EXPECT_EQ(5u, after->values.at("Marker").AsDword());
  EXPECT_EQ(before->subkeys.size(), after->subkeys.size());

  ASSERT_EQ(S_OK, comsupport::UnregisterTypeLibrary(path_, foreign_));
  EXPECT_FALSE(Exists(kLibraryKey));
  EXPECT_FALSE(Exists(kOwnKey));
  EXPECT_TRUE(Exists(kForeignKey)) << "unregistration leaves the owner's key";
  EXPECT_EQ("IKitForeign of its owner", ReadRegistryTree(HKEY_CLASSES_ROOT, kForeignKey)->default_value.value_or("?"));
}

TEST_F(TypeLibraryRegistration, AForeignKeyThatWasMissingStaysMissing) {
  comsupport::DeleteRegistryTree(HKEY_CLASSES_ROOT, kForeignKey);
  ASSERT_EQ(S_OK, comsupport::RegisterTypeLibrary(path_, foreign_));
  EXPECT_FALSE(Exists(kForeignKey));
  EXPECT_TRUE(Exists(kOwnKey));
  ASSERT_EQ(S_OK, comsupport::UnregisterTypeLibrary(path_, foreign_));
  EXPECT_EQ(S_OK, comsupport::UnregisterTypeLibrary(path_, foreign_)) << "a second time is no failure";
  EXPECT_FALSE(Exists(kForeignKey));
  EXPECT_NE(S_OK, comsupport::RegisterTypeLibrary(path_ + ".missing"));
}

}  // namespace
