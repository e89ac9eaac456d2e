// The control as an embedded object: its two safety bits, the script-engine stub, the
// persisted properties in their order (loading only stores), and the interface table.
#include <activscp.h>
#include <gtest/gtest.h>
#include <objsafe.h>

#include "chanbind_test_support.h"
#include "testing/registry.h"
#include "testing/scripting.h"

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

// The notification window's class names the module's window procedure: it goes with the last
// control, so that no class outlives the module that the system may unload.
TEST(NotificationWindow, ItsClassGoesWithTheLastControl) {
  HMODULE module = ::GetModuleHandleA("Chanbind.dll");
  {
    ChanbindSession page;
    module = ::GetModuleHandleA("Chanbind.dll");
    ASSERT_TRUE(module);
    ASSERT_EQ(S_OK, page.Call("Reset").hr);
    WNDCLASSA found{};
    EXPECT_TRUE(::GetClassInfoA(module, "ChanbindNotificationWindow", &found));
  }
  WNDCLASSA found{};
  EXPECT_FALSE(::GetClassInfoA(module, "ChanbindNotificationWindow", &found));
}

TEST(TypedArrays, TypedToVariantAndBack) {
  ChanbindSession page;
  SAFEARRAYBOUND bound{3, 0};
  SAFEARRAY* numbers = ::SafeArrayCreate(VT_I4, 1, &bound);
  for (LONG i = 0; i < 3; ++i) {
    long value = 10 * (i + 1);
    ::SafeArrayPutElement(numbers, &i, &value);
  }
  comsupport::Variant typed;
  typed.put()->vt = VT_ARRAY | VT_I4;
  typed.get()->parray = numbers;
  comsupport::Variant variants;
  ASSERT_EQ(S_OK, page.chanbind()->get_TypedToVariant(*typed.get(), variants.put()));
  ASSERT_EQ(VT_ARRAY | VT_VARIANT, variants.type());
  LONG index = 2;
  comsupport::Variant element;
  ::SafeArrayGetElement(variants.get()->parray, &index, element.put());
  EXPECT_EQ(VT_I4, element.type());
  EXPECT_EQ(30, element.get()->lVal);
  comsupport::Variant back;
  ASSERT_EQ(S_OK, page.chanbind()->get_VariantToTyped(*variants.get(), back.put()));
  ASSERT_EQ(VT_ARRAY | VT_I4, back.type());
  long value = 0;
  index = 1;
  ::SafeArrayGetElement(back.get()->parray, &index, &value);
  EXPECT_EQ(20, value);
  comsupport::Variant scalar(5L), out;
  EXPECT_EQ(E_INVALIDARG, page.chanbind()->get_TypedToVariant(*scalar.get(), out.put())) << "not an array";
}

// The companion applications: installed and enabled from the client's component keys, active
// while their main window exists, stopped by closing it.
TEST(CompanionApplications, KeysWindowsAndStop) {
  ChanbindSession page;
  const std::string components = "SOFTWARE\\Zorvane\\Zorvane\\Public\\Components\\";
  testing_support::DeleteTree(HKEY_LOCAL_MACHINE, components + "Ambrel");
  testing_support::WriteDword(HKEY_LOCAL_MACHINE, components + "Dashel", "enable", 1);
  testing_support::WriteDword(HKEY_LOCAL_MACHINE, components + "Vantrel", "enable", 0);
  ComPtr<IZrApps> apps;
  page.container().control()->QueryInterface(IID_IZrApps, apps.put_void());
  VARIANT_BOOL answer = VARIANT_FALSE;
  EXPECT_EQ(S_OK, apps->get_Installed(DASHEL_APP, &answer));
  EXPECT_EQ(S_OK, apps->get_Enabled(DASHEL_APP, &answer));
  EXPECT_EQ(S_OK, apps->get_Installed(VANTREL_APP, &answer));
  EXPECT_EQ(S_FALSE, apps->get_Enabled(VANTREL_APP, &answer));
  EXPECT_EQ(S_FALSE, apps->get_Installed(AMBREL_APP, &answer));
  EXPECT_EQ(VARIANT_FALSE, answer);

  EXPECT_EQ(S_FALSE, apps->get_Active(DASHEL_APP, &answer));
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = "DashelFrame";
  ::RegisterClassA(&window_class);
  HWND dashel = ::CreateWindowExA(0, "DashelFrame", "Dashel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(dashel);
  EXPECT_EQ(S_OK, apps->get_Active(DASHEL_APP, &answer));
  EXPECT_EQ(S_OK, apps->Stop(DASHEL_APP));
  testing_support::PumpMessages(200);
  EXPECT_FALSE(::IsWindow(dashel)) << "WM_CLOSE was posted";
  EXPECT_EQ(S_OK, apps->Stop(DASHEL_APP)) << "a missing window is success";
  EXPECT_EQ(E_FAIL, apps->Stop(QUILLET_APP));
  EXPECT_EQ(E_FAIL, apps->Start(SABREK_APP)) << "no such program in the client's folder";
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(S_OK, ::GetErrorInfo(0, info.put()));
  comsupport::Bstr description;
  info->GetDescription(description.put());
  EXPECT_EQ("Specified component is not installed", description.Ansi());
  testing_support::DeleteTree(HKEY_LOCAL_MACHINE, components + "Dashel");
  testing_support::DeleteTree(HKEY_LOCAL_MACHINE, components + "Vantrel");
}

}  // namespace
