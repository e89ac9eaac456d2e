// The control as an embedded object: its two safety bits, the script-engine stub, the
// persisted properties in their order (loading only stores), and the interface table.
#include <activscp.h>
#include <gtest/gtest.h>
#include <objsafe.h>

#include "chanbind_test_support.h"

namespace {

using namespace chanbind_test;
using comsupport::ComPtr;

TEST(ObjectSafety, TwoBitsEachKeptApart) {
  ChanbindSession page;
  ComPtr<IObjectSafety> safety;
  ASSERT_EQ(S_OK, page.container().control()->QueryInterface(IID_IObjectSafety, safety.put_void()));
  DWORD supported = 9, enabled = 9;
  ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(IID_IPersistPropertyBag, &supported, &enabled));
  EXPECT_EQ(2u, supported);
  EXPECT_EQ(0u, enabled);
  ASSERT_EQ(S_OK, safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled));
  EXPECT_EQ(1u, supported);
  EXPECT_EQ(0u, enabled);
  EXPECT_EQ(E_NOINTERFACE, safety->GetInterfaceSafetyOptions(IID_IStream, &supported, &enabled));
  EXPECT_EQ(0u, supported);
  EXPECT_EQ(0u, enabled);
  EXPECT_EQ(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled));
  EXPECT_EQ(E_NOINTERFACE, safety->SetInterfaceSafetyOptions(IID_IStream, 1, 1));

  ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, 2, 2));
  ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 1));
  safety->GetInterfaceSafetyOptions(IID_IPersistPropertyBag, &supported, &enabled);
  EXPECT_EQ(2u, enabled) << "setting the caller bit keeps the data bit";
  safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
  EXPECT_EQ(1u, enabled);
  ASSERT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, 2, 0));
  safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
  EXPECT_EQ(1u, enabled) << "clearing the data bit keeps the caller bit";
}

class FakeScriptSite : public comsupport::ComObject<IActiveScriptSite> {
 public:
  STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
  STDMETHODIMP OnScriptError(IActiveScriptError*) override { return S_OK; }
  STDMETHODIMP OnEnterScript() override { return S_OK; }
  STDMETHODIMP OnLeaveScript() override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) return static_cast<IActiveScriptSite*>(this);
    return nullptr;
  }
};

TEST(ScriptEngineStub, KeepsTheSiteItIsHanded) {
  ChanbindSession page;
  ComPtr<IActiveScript> script;
  ASSERT_EQ(S_OK, page.container().control()->QueryInterface(IID_IActiveScript, script.put_void()));
  auto site = ComPtr<FakeScriptSite>::Attach(new FakeScriptSite());
  ASSERT_EQ(S_OK, script->SetScriptSite(site.get()));
  ComPtr<IActiveScriptSite> kept;
  ASSERT_EQ(S_OK, script->GetScriptSite(IID_IActiveScriptSite, kept.put_void()));
  EXPECT_EQ(site.get(), kept.get());
  ComPtr<IUnknown> other;
  EXPECT_EQ(E_NOINTERFACE, script->GetScriptSite(IID_IUnknown, other.put_void()));
  EXPECT_EQ(E_POINTER, script->GetScriptSite(IID_IActiveScriptSite, nullptr));
  EXPECT_EQ(E_UNEXPECTED, script->SetScriptState(SCRIPTSTATE_CONNECTED));
  SCRIPTSTATE state = SCRIPTSTATE_CONNECTED;
  EXPECT_EQ(S_OK, script->GetScriptState(&state));
  EXPECT_EQ(0, static_cast<int>(state));
  kept.reset();
  EXPECT_EQ(S_OK, script->Close());
  EXPECT_EQ(1u, site->AddRef() - 1) << "Close released the site";
  site->Release();
}

TEST(Persistence, ParamsOnlyStoreAndSaveInOrder) {
  ChanbindSession page(kFixture, 0,
                       {{"Category", "News"}, {"AutoReset", "0"}, {"Async", "-1"}, {"SetupEventMask", "5"},
                        {"Sort", "Title"}, {"SortAscending", "0"}, {"Embellish", "1"}});
  EXPECT_EQ(std::string::npos, page.standin().Journal().find("Channels")) << "loading does not connect";
  EXPECT_EQ("News", page.Get("Category").Text());
  EXPECT_EQ(0, page.Get("AutoReset").Number());
  EXPECT_EQ(-1, page.Get("Async").Number());
  EXPECT_EQ(5, page.Get("SetupEventMask").Number());
  EXPECT_EQ(0, page.Get("SortAscending").Number());
  comsupport::ComPtr<standin::PropertyBag> saved;
  ASSERT_EQ(S_OK, page.container().SaveToBag(&saved));
  std::vector<std::string> names;
  for (const auto& [name, value] : saved->values()) names.push_back(name);
  EXPECT_EQ((std::vector<std::string>{"Category", "ChannelId", "AutoReset", "Async", "AutoUpdate", "SetupEventMask",
                                      "ChannelEventMask", "StoryEventMask", "Sort", "SortColumn", "SortAscending",
                                      "SortCaseSensitive", "Embellish"}),
            names);
  EXPECT_EQ(2, page.Get("ChannelCount").Number()) << "the stored category selects once the client is needed";
}

TEST(InterfaceTable, AnswersTheControlInterfacesAndNoView) {
  ChanbindSession page;
  IUnknown* control = page.container().control();
  for (const IID* iid : {&IID_IChanbind3, &IID_IChanbind2, &IID_IActiveScript, &IID_IHostEnvironment, &IID_IZrApps,
                         &IID_OLEDBSimpleProvider, &IID_IOleObject, &IID_IOleControl, &IID_IProvideClassInfo2,
                         &IID_IOleInPlaceObjectWindowless, &IID_IPersistPropertyBag, &IID_IConnectionPointContainer,
                         &IID_IObjectSafety, &IID_ISupportErrorInfo}) {
    ComPtr<IUnknown> answer;
    EXPECT_EQ(S_OK, control->QueryInterface(*iid, answer.put_void()));
  }
  ComPtr<IUnknown> view;
  EXPECT_EQ(E_NOINTERFACE, control->QueryInterface(IID_IViewObject, view.put_void()));
  ComPtr<IOleObject> object;
  control->QueryInterface(IID_IOleObject, object.put_void());
  DWORD status = 0;
  object->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(0x20191u, status);
  ComPtr<IZrApps> apps;
  control->QueryInterface(IID_IZrApps, apps.put_void());
  VARIANT_BOOL answer = VARIANT_TRUE;
  EXPECT_EQ(S_FALSE, apps->get_Active(QUILLET_APP, &answer));
  EXPECT_EQ(VARIANT_FALSE, answer);
  EXPECT_EQ(E_INVALIDARG, apps->get_Installed(static_cast<EZrApp>(7), &answer));
}

}  // namespace
