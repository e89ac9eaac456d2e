#include <gtest/gtest.h>

#include "comsupport/class_factory.h"
#include "comsupport/com_ptr.h"

namespace {

using comsupport::ComObject;
using comsupport::ComPtr;
using comsupport::ModuleLock;

// A two-interface object: IPersist plus IOleWindow, both answered by one identity.
class Probe : public ComObject<IPersist, IOleWindow> {
 public:
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    return comsupport::CreateAggregatable<Probe>(outer, iid, out);
  }
  STDMETHODIMP GetClassID(CLSID* clsid) override {
    *clsid = CLSID_NULL;
    return S_OK;
  }
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = nullptr;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IPersist) return static_cast<IPersist*>(this);
    if (iid == IID_IOleWindow) return static_cast<IOleWindow*>(this);
    return nullptr;
  }
  void UnknownInterface(REFIID) override {}
};

// Stands in for an outer object: counts the calls delegated to it.
class Outer : public ComObject<IUnknown> {
 public:
  int delegated_addrefs = 0;
  STDMETHODIMP_(ULONG) AddRef() override {
    ++delegated_addrefs;
    return ComObject<IUnknown>::AddRef();
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
  }
};

TEST(ComObject, InterfacesShareOneIdentityAndUnknownIidFails) {
  ComPtr<IPersist> persist;
  ASSERT_EQ(S_OK, Probe::CreateInstance(nullptr, IID_IPersist, persist.put_void()));
  ComPtr<IOleWindow> window = persist.As<IOleWindow>();
  ASSERT_TRUE(window);
  ComPtr<IUnknown> a = persist.As<IUnknown>();
  ComPtr<IUnknown> b = window.As<IUnknown>();
  EXPECT_EQ(a.get(), b.get());

  HRESULT hr = S_OK;
  EXPECT_FALSE(persist.As<IDispatch>(&hr));
  EXPECT_EQ(E_NOINTERFACE, hr);
}

TEST(ComObject, ModuleLockCountsLiveObjectsAndServerLocks) {
  LONG before = ModuleLock::Count();
  {
    ComPtr<IClassFactory> factory = ComPtr<IClassFactory>::Attach(new comsupport::ClassFactory<Probe>());
    ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersist, persist.put_void()));
    EXPECT_EQ(before + 2, ModuleLock::Count());
    factory->LockServer(TRUE);
    EXPECT_EQ(before + 3, ModuleLock::Count());
    factory->LockServer(FALSE);
  }
  EXPECT_EQ(before, ModuleLock::Count());
}

TEST(ComObject, AggregatedObjectDelegatesToOuterButInnerUnknownDoesNot) {
  ComPtr<Outer> outer = ComPtr<Outer>::Attach(new Outer());
  comsupport::ClassFactory<Probe>* factory = new comsupport::ClassFactory<Probe>();
  ComPtr<IUnknown> inner;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IPersist, inner.put_void()));
  ASSERT_EQ(S_OK, factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()));
  factory->Release();

  ComPtr<IPersist> persist;
  ASSERT_EQ(S_OK, inner->QueryInterface(IID_IPersist, persist.put_void()));
  EXPECT_EQ(1, outer->delegated_addrefs);  // the interface's AddRef went to the outer object
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, persist->QueryInterface(IID_IUnknown, identity.put_void()));
  EXPECT_EQ(static_cast<IUnknown*>(outer.get()), identity.get());
}

}  // namespace
