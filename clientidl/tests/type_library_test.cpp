#include <gtest/gtest.h>

#include <string>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "fixed_slots.h"

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

struct Member {
  std::string name;
  INVOKEKIND kind;
};

Member FromHeaderName(const std::string& header_name) {
  if (header_name.rfind("get_", 0) == 0) return {header_name.substr(4), INVOKE_PROPERTYGET};
  if (header_name.rfind("put_", 0) == 0) return {header_name.substr(4), INVOKE_PROPERTYPUT};
  return {header_name, INVOKE_FUNC};
}

// The vtable slot of member in the interface part of a dual interface, walking its bases.
int SlotInTypeLibrary(ITypeInfo* start, const Member& member) {
  ComPtr<ITypeInfo> info(start);
  while (info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return -1;
    WORD functions = attributes->cFuncs;
    WORD bases = attributes->cImplTypes;
    info->ReleaseTypeAttr(attributes);
    for (UINT index = 0; index < functions; ++index) {
      FUNCDESC* function = nullptr;
      if (FAILED(info->GetFuncDesc(index, &function))) continue;
      Bstr name;
      info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
      bool match = name.Ansi() == member.name && function->invkind == member.kind;
      int slot = function->oVft / static_cast<int>(sizeof(void*));
      info->ReleaseFuncDesc(function);
      if (match) return slot;
    }
    if (bases == 0) break;
    HREFTYPE base_reference = 0;
    ComPtr<ITypeInfo> base;
    if (FAILED(info->GetRefTypeOfImplType(0, &base_reference)) ||
        FAILED(info->GetRefTypeInfo(base_reference, base.put()))) {
      break;
    }
    info = base;
  }
  return -1;
}

TEST(ClientTypeLibrary, EveryFixedSlotHoldsItsMemberInTheTypeLibrary) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, ::LoadTypeLibEx(comsupport::ToWide(ZORVANE_TLB_PATH).c_str(), REGKIND_NONE, library.put()));
  ASSERT_GT(fixed_slot_count(), 50);
  for (int index = 0; index < fixed_slot_count(); ++index) {
    const fixed_slot& fixed = fixed_slots[index];
    SCOPED_TRACE(std::string(fixed.interface_name) + "::" + fixed.member);
    ComPtr<ITypeInfo> dispatch_part;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*fixed.iid, dispatch_part.put()));
    // A dual interface is found as its dispatch part; the vtable layout is in the interface part.
    HREFTYPE interface_reference = 0;
    ComPtr<ITypeInfo> interface_part;
    ASSERT_EQ(S_OK, dispatch_part->GetRefTypeOfImplType(static_cast<UINT>(-1), &interface_reference));
    ASSERT_EQ(S_OK, dispatch_part->GetRefTypeInfo(interface_reference, interface_part.put()));
    EXPECT_EQ(fixed.slot, SlotInTypeLibrary(interface_part.get(), FromHeaderName(fixed.member)));
  }
}

TEST(ClientTypeLibrary, HasTheClientsLibraryIdentity) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, ::LoadTypeLibEx(comsupport::ToWide(ZORVANE_TLB_PATH).c_str(), REGKIND_NONE, library.put()));
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
  EXPECT_EQ("{53FCF357-5323-11D0-A864-0000B43699FC}", comsupport::GuidText(attributes->guid));
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  library->ReleaseTLibAttr(attributes);
}

}  // namespace
