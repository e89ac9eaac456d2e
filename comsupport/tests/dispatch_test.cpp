#include <gtest/gtest.h>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "comsupport/provide_class_info.h"
#include "kit_test.h"

namespace {

using comsupport::ComPtr;

// Dispatch and class information from the library embedded in this test program, which is
// not registered: the fallback every module has before its registration.
class Thing : public comsupport::ComObject<comsupport::DispatchImpl<IKitOwn, &LIBID_KitTestLib>,
                                           comsupport::ProvideClassInfo2Impl<&CLSID_KitThing, &DIID_DKitEvents,
                                                                             &LIBID_KitTestLib>> {
 public:
  int pings = 0;
  STDMETHODIMP Ping() override {
    ++pings;
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IKitOwn) return static_cast<IKitOwn*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
  }
};

TEST(Dispatch, MembersAreCalledByNameFromTheModulesOwnLibrary) {
  ComPtr<Thing> thing = ComPtr<Thing>::Attach(new Thing());
  ComPtr<IDispatch> dispatch = thing.As<IDispatch>();
  ASSERT_TRUE(dispatch);
  LPOLESTR name = const_cast<LPOLESTR>(L"Ping");
  DISPID id = 0;
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  DISPPARAMS none = {};
  ASSERT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  EXPECT_EQ(1, thing->pings);
}

TEST(ProvideClassInfo2, NamesTheCoclassAndItsDefaultEventInterface) {
  ComPtr<Thing> thing = ComPtr<Thing>::Attach(new Thing());
  ComPtr<IProvideClassInfo2> info = thing.As<IProvideClassInfo2>();
  ASSERT_TRUE(info);
  GUID source = GUID_NULL;
  ASSERT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
  EXPECT_TRUE(IsEqualGUID(DIID_DKitEvents, source));
  EXPECT_EQ(E_INVALIDARG, info->GetGUID(0x7F, &source));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, info->GetClassInfo(coclass.put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(CLSID_KitThing, attributes->guid));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  coclass->ReleaseTypeAttr(attributes);
}

}  // namespace
