#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <map>
#include <set>
#include <string>

#include "comsupport/client_app_paths.h"
#include "client_location.h"
#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/scope_exit.h"
#include "comsupport/unique_handle.h"
#include "hookwell.h"
#include "log_reader.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;
using namespace testing_support;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kClsid[] = "{2EABB432-9B8E-11d3-9ACE-00008630FDFD}";
const char kLibid[] = "{2EABB431-9B8E-11D3-9ACE-00008630FDFD}";
const char kProgId[] = "Zorvane.HalvernKelvaneClientExt.1";
const char kClientExtIid[] = "{0F4FE440-983F-11D0-9B9C-444553540000}";
const char kIndependentProgId[] = "Zorvane.HalvernKelvaneClientExt";
const char kExtensions[] = "Software\\Zorvane\\ClientExtensions";
const char kClientClass[] = "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}";
const char* const kAppPaths = comsupport::kClientAppPathsKey;

std::string ClassKey() { return std::string("CLSID\\") + kClsid; }

std::set<std::string> SubkeyNames(const RegistryTree& tree) {
  std::set<std::string> names;
  for (const auto& [name, subtree] : tree.subkeys) names.insert(name);
  return names;
}

// Registers with the system's regsvr32 and puts back every key that registration touches.
class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& key : {std::string(kProgId), std::string(kIndependentProgId), ClassKey()})
      DeleteTree(HKEY_CLASSES_ROOT, key);
    DeleteTree(HKEY_CURRENT_USER, std::string(kExtensions) + "\\" + kClsid);
  }

  DWORD Regsvr32(const std::string& options) {
    return RunProgram("regsvr32 " + options + " " + Quote(module_), 300000);
  }

  const std::string module_ = BuildOutput("Hookwell.dll");
  RegistryRestore prog_id_{HKEY_CLASSES_ROOT, kProgId};
  RegistryRestore independent_prog_id_{HKEY_CLASSES_ROOT, kIndependentProgId};
  RegistryRestore class_{HKEY_CLASSES_ROOT, ClassKey()};
  RegistryRestore type_library_{HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibid};
  RegistryRestore client_keys_{HKEY_CURRENT_USER, "Software\\Zorvane"};
  // The type library carries a copy of the client's IClientExt; the key stays the client's,
  // but a failing test must not leave it changed either.
  RegistryRestore client_ext_interface_{HKEY_CLASSES_ROOT, std::string("Interface\\") + kClientExtIid};
};

TEST_F(RegistrationTest, WritesTheClassItsProgIdsAndTheClientExtensionKey) {
  ASSERT_EQ(0u, Regsvr32("/s"));

  auto prog_id = ReadTree(HKEY_CLASSES_ROOT, kProgId);
  ASSERT_TRUE(prog_id);
  EXPECT_EQ("Halvern ClientExt Class", prog_id->default_value.value_or("-"));
  EXPECT_EQ(std::set<std::string>{"CLSID"}, SubkeyNames(*prog_id));
  EXPECT_EQ(kClsid, prog_id->subkeys["CLSID"].default_value.value_or("-"));

  auto independent = ReadTree(HKEY_CLASSES_ROOT, kIndependentProgId);
  ASSERT_TRUE(independent);
  EXPECT_EQ("Halvern ClientExt Class", independent->default_value.value_or("-"));
  EXPECT_EQ(std::set<std::string>{"CurVer"}, SubkeyNames(*independent));
  EXPECT_EQ(kProgId, independent->subkeys["CurVer"].default_value.value_or("-"));

  auto server = ReadTree(HKEY_CLASSES_ROOT, ClassKey());
  ASSERT_TRUE(server);
  EXPECT_EQ("Halvern ClientExt Class", server->default_value.value_or("-"));
  EXPECT_EQ((std::set<std::string>{"InprocServer32", "ProgID", "Programmable", "VersionIndependentProgID"}),
            SubkeyNames(*server));
  EXPECT_EQ(kProgId, server->subkeys["ProgID"].default_value.value_or("-"));
  EXPECT_EQ(kIndependentProgId, server->subkeys["VersionIndependentProgID"].default_value.value_or("-"));
  EXPECT_FALSE(server->subkeys["Programmable"].default_value.has_value());
  EXPECT_THAT(server->subkeys["Programmable"].values, IsEmpty());
  const RegistryTree& inproc = server->subkeys["InprocServer32"];
  EXPECT_TRUE(_stricmp(module_.c_str(), inproc.default_value.value_or("-").c_str()) == 0)
      << inproc.default_value.value_or("(no path)");
  ASSERT_EQ(1u, inproc.values.count("ThreadingModel"));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), inproc.values.at("ThreadingModel").type);
  EXPECT_EQ("Apartment", inproc.values.at("ThreadingModel").data);

  auto extension = ReadTree(HKEY_CURRENT_USER, std::string(kExtensions) + "\\" + kClsid);
  ASSERT_TRUE(extension);
  EXPECT_EQ("Halvern HalvernKelvaneClientExt Class", extension->default_value.value_or("-"));
  EXPECT_THAT(extension->values, IsEmpty());
  EXPECT_THAT(extension->subkeys, IsEmpty());

  const std::string version = std::string("TypeLib\\") + kLibid + "\\1.0";
  EXPECT_EQ("Zorvane Halvern Kelvane ClientExt 1.0 Type Library",
            ReadString(HKEY_CLASSES_ROOT, version).value_or("(type library not registered)"));
  EXPECT_TRUE(_stricmp(module_.c_str(), ReadString(HKEY_CLASSES_ROOT, version + "\\0\\win32").value_or("-").c_str()) == 0);
}

TEST_F(RegistrationTest, UnregistrationRemovesTheForceRemoveTreesAndKeepsTheNoRemoveKeys) {
  ASSERT_EQ(0u, Regsvr32("/s"));
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ClassKey() + "\\Programmable"));

  ASSERT_EQ(0u, Regsvr32("/u /s"));

  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey()));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProgId));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kIndependentProgId));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kExtensions) + "\\" + kClsid));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kExtensions));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Zorvane"));
  // The type library stays registered.
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibid + "\\1.0"));

  // Registering again after a removal gives the same keys.
  ASSERT_EQ(0u, Regsvr32("/s"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32"));
}

TEST_F(RegistrationTest, TypeLibraryHoldsClientExtWhoseDefaultIsTheClientsIClientExt) {
  ASSERT_EQ(0u, Regsvr32("/s"));
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_ZRCLIENTEXTLib, 1, 0, LOCALE_NEUTRAL, library.put()));
  Bstr name;
  Bstr help;
  ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
  EXPECT_EQ("ZRCLIENTEXTLib", name.Ansi());
  EXPECT_EQ("Zorvane Halvern Kelvane ClientExt 1.0 Type Library", help.Ansi());
  int classes = 0;
  for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
    TYPEKIND kind = TKIND_MAX;
    ASSERT_EQ(S_OK, library->GetTypeInfoType(index, &kind));
    classes += kind == TKIND_COCLASS;
  }
  EXPECT_EQ(1, classes);

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_ClientExt, coclass.put()));
  ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.put(), help.put(), nullptr, nullptr));
  EXPECT_EQ("ClientExt", name.Ansi());
  EXPECT_EQ("Zorvane Halvern Kelvane ClientExt Class", help.Ansi());
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  EXPECT_EQ(1, attributes->cImplTypes);
  coclass->ReleaseTypeAttr(attributes);
  INT flags = 0;
  ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);

  HREFTYPE reference = 0;
  ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
  ComPtr<ITypeInfo> default_interface;
  ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, default_interface.put()));
  ASSERT_EQ(S_OK, default_interface->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(IID_IClientExt, attributes->guid));
  default_interface->ReleaseTypeAttr(attributes);
  // Start is the interface's own first member, dispatch id 1, as the client declares it.
  LPOLESTR start_name = const_cast<LPOLESTR>(L"Start");
  MEMBERID start = MEMBERID_NIL;
  ASSERT_EQ(S_OK, default_interface->GetIDsOfNames(&start_name, 1, &start));
  EXPECT_EQ(1, start);
}

// The object created the way the client creates it, in a directory of its own for its log.
class CreatedObjectTest : public RegistrationTest {
 protected:
  void SetUp() override {
    RegistrationTest::SetUp();
    ASSERT_EQ(0u, Regsvr32("/s"));
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    previous_directory_ = previous;
    ASSERT_TRUE(::SetCurrentDirectoryA(directory_.path().c_str()));
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_ClientExt, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       object_.put_void()));
  }
  void TearDown() override {
    object_.reset();
    ::CoFreeUnusedLibraries();
    ::SetCurrentDirectoryA(previous_directory_.c_str());
  }
  LogContents Log() { return ReadLog(directory_ / "ExtensionDll.log"); }

  TempDir directory_;
  std::string previous_directory_;
  ComPtr<IUnknown> object_;
};

TEST_F(CreatedObjectTest, AnswersEveryInterfaceOfItsMapWithOneIdentity) {
  const std::map<std::string, IID> answered = {
      {"IUnknown", IID_IUnknown},
      {"IDispatch", IID_IDispatch},
      {"IClientExt", IID_IClientExt},
      {"IAppNotificationHandler", IID_IAppNotificationHandler},
      {"ISetupNotificationHandler", IID_ISetupNotificationHandler},
      {"IChannelNotificationHandler", IID_IChannelNotificationHandler},
      {"IVessikNotificationHandler", IID_IVessikNotificationHandler},
  };
  for (const auto& [name, iid] : answered) {
    ComPtr<IUnknown> part;
    ASSERT_EQ(S_OK, object_->QueryInterface(iid, part.put_void())) << name;
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, part->QueryInterface(IID_IUnknown, identity.put_void())) << name;
    EXPECT_EQ(object_.get(), identity.get()) << name;
  }
  // IDispatch is the IClientExt part.
  EXPECT_EQ(static_cast<IUnknown*>(object_.As<IDispatch>().get()), static_cast<IUnknown*>(object_.As<IClientExt>().get()));
  for (const IID& iid : {IID_IStoryNotificationHandler, IID_IDirectoryNotificationHandler, IID_IZorvane,
                         IID_IConnectionPointContainer, IID_IPersist}) {
    ComPtr<IUnknown> part;
    EXPECT_EQ(E_NOINTERFACE, object_->QueryInterface(iid, part.put_void()));
    EXPECT_FALSE(part);
  }
}

TEST_F(CreatedObjectTest, NotificationsBeforeStartAreHarmlessAndShutdownLogsTheMissingClient) {
  EXPECT_EQ("// Halvern Mendlet Distribution Extension DLL Logfile", Log().header);
  EXPECT_THAT(Log().messages, IsEmpty());

  EXPECT_EQ(S_OK, object_.As<ISetupNotificationHandler>()->OnSetupChanged(-1));
  ComPtr<IChannelNotificationHandler> channels = object_.As<IChannelNotificationHandler>();
  EXPECT_EQ(S_OK, channels->OnChannelAdded(nullptr));
  EXPECT_EQ(S_OK, channels->OnChannelDeleted(7));
  EXPECT_EQ(S_OK, channels->OnChannelChanged(nullptr, CHN_EVENT_NAME));
  ComPtr<IVessikNotificationHandler> vessiks = object_.As<IVessikNotificationHandler>();
  EXPECT_EQ(S_OK, vessiks->OnVessikChanged(nullptr, 0));
  EXPECT_THAT(Log().messages, IsEmpty());

  // Without a client the Kelvane channel cannot be looked up; a missing Vessik is a COM error.
  EXPECT_EQ(S_OK, vessiks->OnVessikDeleted(7, 12));
  EXPECT_EQ(S_OK, vessiks->OnNewVessik(nullptr));
  EXPECT_EQ(S_OK, object_.As<IAppNotificationHandler>()->OnShutdown());
  EXPECT_THAT(Log().messages,
              ElementsAre("ClientExt Caught unhandled error", "ClientExt Caught COM error-", "ClientExt Caught COM error-"));
}

TEST_F(CreatedObjectTest, SecondObjectStartsAFreshLog) {
  EXPECT_EQ(S_OK, object_.As<IAppNotificationHandler>()->OnShutdown());
  ASSERT_THAT(Log().messages, ElementsAre("ClientExt Caught COM error-"));
  ComPtr<IUnknown> second;
  ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_ClientExt, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, second.put_void()));
  EXPECT_THAT(Log().messages, IsEmpty());
}

TEST_F(CreatedObjectTest, StartWithoutAClientFailsAndLogsNothing) {
  if (KeyExists(HKEY_CLASSES_ROOT, kClientClass)) GTEST_SKIP() << "a client is registered in this prefix";
  EXPECT_EQ(E_FAIL, object_.As<IClientExt>()->Start());
  EXPECT_THAT(Log().messages, IsEmpty());
  // Nothing was registered, so nothing is revoked; only the missing client is logged.
  EXPECT_EQ(S_OK, object_.As<IAppNotificationHandler>()->OnShutdown());
  EXPECT_THAT(Log().messages, ElementsAre("ClientExt Caught COM error-"));
}

// Stands for an object that aggregates the extension.
class Outer : public comsupport::ComObject<IUnknown> {
 protected:
  void* FindInterface(REFIID iid) override { return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr; }
};

TEST_F(CreatedObjectTest, ExportsFollowTheInProcessServerRules) {
  comsupport::UniqueLibrary library(::LoadLibraryA(module_.c_str()));
  ASSERT_TRUE(library);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto get_class_object = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), "DllGetClassObject")));
  auto can_unload_now = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), "DllCanUnloadNow")));
  ASSERT_TRUE(get_class_object && can_unload_now);
  EXPECT_TRUE(::GetProcAddress(library.get(), "DllRegisterServer"));
  EXPECT_TRUE(::GetProcAddress(library.get(), "DllUnregisterServer"));

  EXPECT_EQ(S_FALSE, can_unload_now()) << "the object of the fixture is alive";
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, get_class_object(CLSID_Zorvane, IID_IClassFactory, factory.put_void()));
  EXPECT_FALSE(factory);
  EXPECT_EQ(E_POINTER, get_class_object(CLSID_ClientExt, IID_IClassFactory, nullptr));
  ASSERT_EQ(S_OK, get_class_object(CLSID_ClientExt, IID_IClassFactory, factory.put_void()));

  ComPtr<Outer> outer = ComPtr<Outer>::Attach(new Outer());
  ComPtr<IUnknown> inner;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IClientExt, inner.put_void()));
  ASSERT_EQ(S_OK, factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()));
  ComPtr<IClientExt> aggregated;
  ASSERT_EQ(S_OK, inner->QueryInterface(IID_IClientExt, aggregated.put_void()));
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, aggregated->QueryInterface(IID_IUnknown, identity.put_void()));
  EXPECT_EQ(static_cast<IUnknown*>(outer.get()), identity.get());

  aggregated.reset();
  inner.reset();
  factory.reset();
  object_.reset();
  EXPECT_EQ(S_OK, can_unload_now());
}

// The client's installation, found through its App Paths registration.
class ClientLocationTest : public ::testing::Test {
 protected:
  RegistryRestore app_paths_{HKEY_LOCAL_MACHINE, kAppPaths};
};

TEST_F(ClientLocationTest, BaseIsTwoLevelsAboveTheRegisteredExecutable) {
  DeleteTree(HKEY_LOCAL_MACHINE, kAppPaths);
  EXPECT_EQ("", hookwell::ClientBaseDirectory());
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", "C:\\Apps\\Zorvane\\Bin");
  EXPECT_EQ("", hookwell::ClientBaseDirectory()) << "only the default value counts";
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "", "C:\\Apps\\Zorvane\\Bin\\Zorvane.exe");
  EXPECT_EQ("C:\\Apps\\Zorvane\\Bin\\Zorvane.exe", hookwell::ClientExecutable());
  EXPECT_EQ("C:\\Apps\\Zorvane", hookwell::ClientBaseDirectory());
}

TEST_F(ClientLocationTest, NumbersAreDecimalAndOverlongValuesAreIgnored) {
  WriteDword(HKEY_LOCAL_MACHINE, kAppPaths, "", 4711);
  EXPECT_EQ("4711", hookwell::ClientExecutable());
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "", "C:\\" + std::string(1014, 'x') + "\\a.exe");
  EXPECT_EQ(1023u, hookwell::ClientExecutable().size()) << "1,023 characters and the zero fit";
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "", "C:\\" + std::string(1015, 'x') + "\\a.exe");
  EXPECT_EQ("", hookwell::ClientExecutable());
}

}  // namespace
