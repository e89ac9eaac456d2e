// CSiteObj as the modules that use Ravlin see it: a class imported from Ravlin.dll, whose
// constructors, assignment and destructor all run there.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "ravlin/site_obj.h"

namespace {

// The module whose image holds the address.
HMODULE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

// Set by the constructor that made the object.
const void* VirtualTableOf(const CSiteObj& site) { return *reinterpret_cast<const void* const*>(&site); }

// line: the caller's, named in every failure.
void ExpectDefaults(const CSiteObj& site, int line = __builtin_LINE()) {
  SCOPED_TRACE("checked from line " + std::to_string(line));
  EXPECT_EQ(site.channel_id, 0u);
  for (const QMBuffer* text : {&site.name, &site.categories, &site.description, &site.form_file, &site.keywords[0],
                               &site.keywords[1], &site.keywords[2], &site.keywords[3]}) {
    EXPECT_EQ(text->GetSize(), 0);
    EXPECT_STREQ(text->GetText(), "");
  }
  EXPECT_EQ(site.reserved, 0);
  EXPECT_EQ(site.subscribed, 0);
  EXPECT_EQ(site.type_flags, 0);
  EXPECT_EQ(site.state_flags, 0);
  EXPECT_EQ(site.attribute_flags, 0);
  EXPECT_EQ(site.general_flags, 0);
  EXPECT_EQ(site.time_added, 0);
  EXPECT_EQ(site.keyword_matches, -1);
}

TEST(SiteObjExport, ConstructedCopiedAssignedAndDeletedByRavlin) {
  HMODULE ravlin = ::GetModuleHandleA("Ravlin.dll");
  ASSERT_NE(ravlin, nullptr);

  std::unique_ptr<CSiteObj> site(new CSiteObj());
  EXPECT_EQ(ModuleOf(VirtualTableOf(*site)), ravlin);
  ExpectDefaults(*site);

  site->channel_id = 0xFDFFFFE1u;
  site->name.SetText("Kelvane");
  site->keywords[3].SetText("bios");
  site->general_flags = 8;
  site->time_added = 946684800;
  site->keyword_matches = 2;

  std::unique_ptr<CSiteObj> copy(new CSiteObj(*site));
  EXPECT_EQ(ModuleOf(VirtualTableOf(*copy)), ravlin);
  std::unique_ptr<CSiteObj> assigned(new CSiteObj());
  *assigned = *copy;
  site.reset();  // the copies own their texts
  for (const CSiteObj* entry : {copy.get(), assigned.get()}) {
    EXPECT_EQ(entry->channel_id, 0xFDFFFFE1u);
    EXPECT_STREQ(entry->name.GetText(), "Kelvane");
    EXPECT_STREQ(entry->keywords[3].GetText(), "bios");
    EXPECT_STREQ(entry->categories.GetText(), "");
    EXPECT_EQ(entry->general_flags, 8);
    EXPECT_EQ(entry->time_added, 946684800);
    EXPECT_EQ(entry->keyword_matches, 2);
  }

  // Assigning a fresh entry brings the defaults back.
  *assigned = CSiteObj();
  ExpectDefaults(*assigned);
}

}  // namespace
