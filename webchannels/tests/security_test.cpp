// Page security and the security warning with the real pieces: page scripts run by the page
// stand-in at chosen addresses against the secure-page lists, the channel's own directory and
// the client's program directory; the German resource module; the res:// icons; and the
// "Security Warning" that stands before a local file path of an unsafe type.
#include <gtest/gtest.h>

#include <optional>

#include "chanbind_test_support.h"
#include "comsupport/registry.h"
#include <objsafe.h>
#include "testing/dialog_driver.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace chanbind_test;
using namespace testing_support;

constexpr char kSecureKey[] = "Software\\Zorvane\\Zorvane\\IE\\Secure";
constexpr char kSecureContentKey[] = "Software\\Zorvane\\Zorvane\\IE\\SecureContent";
constexpr char kOverrideLocaleKey[] = "Software\\Zorvane\\Zorvane\\Settings\\OverrideLocale";

// Kelvane (7) is trusted by its security mode; News Desk (12) keeps its pages in
// C:\halvern-pages\news\; Sports (20) is trusted by nothing.
const char kSecurityFixture[] = R"({
  "settings": { "programDirectory": "C:\\Zorvane Client\\program\\" },
  "channels": [
    { "id": 7, "name": "Kelvane", "securityMode": 2,
      "stories": [ { "id": 101, "title": "Driver", "fields": { "URL": "C:\\updates\\setup.exe", "TEXT": "1" },
                     "attributes": { "READ": 0 } } ] },
    { "id": 12, "name": "News Desk", "directory": "C:\\halvern-pages\\news\\",
      "stories": [
        { "id": 201, "title": "Morning", "fields": { "URL": "C:\\halvern-pages\\news\\setup.exe", "FILE_SIZE": 3145728, "TEXT": "1" },
          "attributes": { "READ": 0, "ALERTED": 1, "KEEP": 1 } },
        { "id": 202, "title": "Archive", "fields": { "URL": "C:\\halvern-pages\\news\\files.zip", "FILE_SIZE": 2047, "TEXT": "1" },
          "attributes": { "READ": 1, "ALERTED": 0, "KEEP": 0 } } ] },
    { "id": 20, "name": "Sports", "securityFlags": 3,
      "stories": [ { "id": 301, "title": "Match", "fields": { "URL": "C:\\sports\\match.exe", "TEXT": "1" } } ] }
  ]
})";

void ClearLists() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    DeleteTree(root, kSecureKey);
    DeleteTree(root, kSecureContentKey);
    DeleteTree(root, kOverrideLocaleKey);
  }
}

void List(HKEY root, const char* key, const std::string& entry) { WriteString(root, key, entry, ""); }

// The gate as a page meets it: the client object, CreateObject, and (with a channel) the
// selection of that channel first.
const char kGateScript[] = R"(
function tryIt(what, f) {
  try { document.writeln(what + " " + f()); }
  catch (e) { document.writeln(what + " " + (e.number >>> 0).toString(16) + " " + e.description); }
}
if (typeof select != "undefined") tryIt("select", function () { chanbind.ChannelId = select; return "ok"; });
tryIt("client", function () { return chanbind.Zorvane.Name; });
tryIt("create", function () { return typeof chanbind.CreateObject("Zorvane"); });
)";

class PageSecurityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RunProgram("regsvr32 /s " + Quote(BuildOutput("Chanbind.dll")), 300000);
    client_ = new StandinClient(kSecurityFixture);
  }
  static void TearDownTestSuite() {
    delete client_;
    client_ = nullptr;
    ClearLists();
  }
  void SetUp() override { ClearLists(); }

  std::string RunPage(const std::string& script, const std::string& url, const std::string& options = "") {
    WriteFile(folder_ / "page.js", script);
    const DWORD code = RunProgram(Quote(BuildOutput("page_standin.exe")) + " /script " + Quote(folder_ / "page.js") +
                                      " /out " + Quote(folder_ / "out.txt") + " /url " + Quote(url) + " " + options,
                                  120000);
    std::string output = FileExists(folder_ / "out.txt") ? ReadFile(folder_ / "out.txt") : "(no output)";
    if (code != 0) output += "exit " + std::to_string(code) + "\n";
    return output;
  }
  std::string Gate(const std::string& url, const std::string& channel = "") {
    return RunPage((channel.empty() ? "" : "var select = " + channel + ";\n") + kGateScript, url);
  }

  static StandinClient* client_;
  TempDir folder_;
};
StandinClient* PageSecurityTest::client_ = nullptr;

const char kOpen[] = "client Zorvane\ncreate object\n";

// The page's address from its document (the OBJECT tag's case): a listed page, and a page in
// the selected channel's own directory.
TEST_F(PageSecurityTest, ListedPagesAndChannelDirectoriesReachTheClient) {
  List(HKEY_CURRENT_USER, kSecureKey, "http://updates.example.com/pages");
  EXPECT_EQ(kOpen, Gate("HTTP://Updates.Example.com//pages/index.htm"));
  ClearLists();
  EXPECT_EQ("select ok\n" + std::string(kOpen), Gate("file:///C:/halvern-pages/news/index.htm", "12"));
}

// What one control that a host tells its address (IHostEnvironment) meets at the gate: the
// client object, CreateObject, and (channel given) selecting that channel first.
struct GateAnswer {
  HRESULT select = S_OK, client = E_FAIL, create = E_FAIL;
};

GateAnswer TryGate(const std::wstring& address, long channel = 0) {
  GateAnswer answer;
  comsupport::ComPtr<IChanbind3> control;
  if (FAILED(ChanbindFactory()->CreateInstance(nullptr, IID_IChanbind3, control.put_void()))) return answer;
  control->put_AutoUpdate(VARIANT_FALSE);  // no notification handlers: each control is short-lived
  comsupport::ComPtr<IObjectSafety> safety;
  control->QueryInterface(IID_IObjectSafety, safety.put_void());
  safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER, INTERFACESAFE_FOR_UNTRUSTED_CALLER);
  comsupport::ComPtr<IHostEnvironment> host;
  control->QueryInterface(IID_IHostEnvironment, host.put_void());
  host->put_URL(comsupport::Bstr(address.c_str()).get());
  if (channel) answer.select = control->put_ChannelId(*Number(channel).get());
  comsupport::ComPtr<IZorvane4> client;
  answer.client = control->get_Zorvane(client.put());
  comsupport::ComPtr<IDispatch> created;
  answer.create = control->get_CreateObject(comsupport::Bstr(L"Zorvane").get(), created.put());
  return answer;
}

// In-process (one client for all): each address built to pass a prefix test, and its relatives.
class HostAddressTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { client_ = new StandinClient(kSecurityFixture); }
  static void TearDownTestSuite() {
    delete client_;
    client_ = nullptr;
    ClearLists();
  }
  void SetUp() override { ClearLists(); }
  static StandinClient* client_;
};
StandinClient* HostAddressTest::client_ = nullptr;

#define EXPECT_GATE(open, address)                                          \
  do {                                                                      \
    const GateAnswer answer = TryGate(address);                             \
    EXPECT_EQ((open) ? S_OK : E_ACCESSDENIED, answer.client) << (address); \
    EXPECT_EQ((open) ? S_OK : E_ACCESSDENIED, answer.create) << (address); \
  } while (0)

TEST_F(HostAddressTest, SecureListEntriesAdmitOnlyTheirOwnHostAndPath) {
  EXPECT_GATE(false, L"http://updates.example.com/pages/index.htm");
  List(HKEY_CURRENT_USER, kSecureKey, "http://updates.example.com/pages");
  EXPECT_GATE(true, L"http://updates.example.com/pages/index.htm");
  EXPECT_GATE(true, L"http://user@updates.example.com:8080/pages/sub/index.htm");
  EXPECT_GATE(false, L"https://updates.example.com/pages/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com.attacker.net/pages/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com@attacker.net/pages/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com%40attacker.net/pages/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com/pages/../private/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com/pages%2f..%2fprivate/index.htm");
  EXPECT_GATE(false, L"http://updates.example.com/pagesx/index.htm");
  EXPECT_GATE(false, L"");
  // The machine's list counts too, after the user's; "*" opens every page, even one without
  // an address.
  List(HKEY_LOCAL_MACHINE, kSecureKey, "*");
  EXPECT_GATE(true, L"http://anywhere.example/x.htm");
  EXPECT_GATE(true, L"");
}

TEST_F(HostAddressTest, TheClientsProgramDirectoryAndAChannelsOwnDirectory) {
  List(HKEY_CURRENT_USER, kSecureKey, "zorvane:");
  EXPECT_GATE(true, L"file:///C:/Zorvane%20Client/program/help/index.htm");
  EXPECT_GATE(true, L"C:\\Zorvane Client\\program\\index.htm");
  EXPECT_GATE(false, L"file:///C:/Zorvane%20Client/programs/index.htm");
  EXPECT_GATE(false, L"file:///C:/Zorvane%20Client/program/../data/index.htm");
  ClearLists();
  GateAnswer inside = TryGate(L"file:///C:/halvern-pages/news/sub/index.htm", 12);
  EXPECT_EQ(S_OK, inside.select);
  EXPECT_EQ(S_OK, inside.client);
  EXPECT_EQ(S_OK, inside.create);
  EXPECT_EQ(E_ACCESSDENIED, TryGate(L"file:///C:/halvern-pages/news/index.htm", 20).select)
      << "only its own channel";
  for (const wchar_t* outside : {L"file:///C:/halvern-pages/newsroom/index.htm",
                                 L"file:///C:/halvern-pages/news/../sports/index.htm",
                                 L"file:///C:/halvern-pages/news/%2e%2e/sports/index.htm",
                                 L"C:\\halvern-pages\\news\\..\\sports\\index.htm",
                                 L"http://halvern-pages/news/index.htm"}) {
    const GateAnswer answer = TryGate(outside, 12);
    EXPECT_EQ(E_ACCESSDENIED, answer.select) << outside;
    EXPECT_EQ(E_ACCESSDENIED, answer.client) << outside;
  }
}

// A page object reached only through IDispatch: named properties, read with DISPATCH_PROPERTYGET.
class ScriptNode : public comsupport::ComObject<IOleContainer, IDispatch> {
 public:
  void Set(const wchar_t* name, const comsupport::Variant& value) { members_.emplace_back(name, value); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (size_t i = 0; count == 1 && i < members_.size(); ++i) {
      if (members_[i].first == names[0]) {
        ids[0] = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id < 1 || static_cast<size_t>(id) > members_.size() || !(flags & DISPATCH_PROPERTYGET) || !result) {
      return DISP_E_MEMBERNOTFOUND;
    }
    return ::VariantCopy(result, const_cast<VARIANT*>(members_[id - 1].second.get()));
  }
  STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP EnumObjects(DWORD, IEnumUnknown**) override { return E_NOTIMPL; }
  STDMETHODIMP LockContainer(BOOL) override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IOleContainer || iid == IID_IParseDisplayName) {
      return static_cast<IOleContainer*>(this);
    }
    if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    return nullptr;
  }

 private:
  std::vector<std::pair<std::wstring, comsupport::Variant>> members_;
};

comsupport::Variant Object(IDispatch* object) {
  comsupport::Variant value;
  value.get()->vt = VT_DISPATCH;
  value.get()->pdispVal = object;
  object->AddRef();
  return value;
}

// The gate for a control on a page whose document gives its address only to script
// (window.location.href), while the host states another one.
HRESULT GateOnScriptedPage(const wchar_t* href, const wchar_t* host_address) {
  auto location = comsupport::ComPtr<ScriptNode>::Attach(new ScriptNode());
  location->Set(L"href", comsupport::Variant(href));
  auto window = comsupport::ComPtr<ScriptNode>::Attach(new ScriptNode());
  window->Set(L"location", Object(location.get()));
  auto document = comsupport::ComPtr<ScriptNode>::Attach(new ScriptNode());
  document->Set(L"window", Object(window.get()));
  standin::ControlContainer container;
  if (FAILED(container.Create(ChanbindFactory().get()))) return E_FAIL;
  container.site()->SetContainer(static_cast<IOleContainer*>(document.get()));
  comsupport::ComPtr<IChanbind3> control;
  container.control()->QueryInterface(IID_IChanbind3, control.put_void());
  control->put_AutoUpdate(VARIANT_FALSE);
  comsupport::ComPtr<IObjectSafety> safety;
  control->QueryInterface(IID_IObjectSafety, safety.put_void());
  safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER, INTERFACESAFE_FOR_UNTRUSTED_CALLER);
  comsupport::ComPtr<IHostEnvironment> host;
  control->QueryInterface(IID_IHostEnvironment, host.put_void());
  host->put_URL(comsupport::Bstr(host_address).get());
  comsupport::ComPtr<IZorvane4> client;
  const HRESULT hr = control->get_Zorvane(client.put());
  client.reset();
  control.reset();
  container.Teardown();
  return hr;
}

TEST_F(HostAddressTest, ThePagesOwnAddressComesBeforeWhatTheHostSays) {
  List(HKEY_CURRENT_USER, kSecureKey, "http://updates.example.com/pages");
  EXPECT_EQ(S_OK, GateOnScriptedPage(L"http://updates.example.com/pages/a.htm", L"http://elsewhere.example/"));
  EXPECT_EQ(E_ACCESSDENIED,
            GateOnScriptedPage(L"http://elsewhere.example/", L"http://updates.example.com/pages/a.htm"))
      << "a host cannot vouch for a page that says where it is";
}

// The German module replaces strings (and the words of the display) when OverrideLocale says so.
TEST_F(PageSecurityTest, GermanResourcesWhenTheOverrideSaysDe) {
  WriteString(HKEY_CURRENT_USER, kOverrideLocaleKey, "Language", "DE");
  const std::string output = RunPage(std::string(kGateScript) + R"(
chanbind.Embellish = 0;
host.bind("");
host.table("Title,KEEP");
)", "http://pages.example/index.htm");
  EXPECT_EQ(
      "client 80070005 Die Sicherheitseinstellungen verhindern den Zugriff\n"
      "create 80070005 Die Sicherheitseinstellungen verhindern den Zugriff\n"
      "Title|KEEP\n"
      "Match|\n"
      "Morning|true [Ja]\n"
      "Archive|false [Nein]\n"
      "Driver|\n",
      output);
}

// The ICON column's address loads the GIF from the module, as the page's image would.
TEST_F(PageSecurityTest, IconsAreReachedThroughResAddresses) {
  // mshtml serves res:// addresses. The session keeps it disabled (in the registry) and its
  // prefix was made without mshtml's protocol registrations: enable it for the page and for
  // regsvr32 only.
  const std::string app_defaults = "Software\\Wine\\AppDefaults\\";
  for (const char* program : {"page_standin.exe", "regsvr32.exe"}) {
    WriteString(HKEY_CURRENT_USER, app_defaults + program + "\\DllOverrides", "mshtml", "builtin");
  }
  const DWORD registered = RunProgram("regsvr32 /s mshtml.dll", 120000);
  const std::string output = RunPage(R"(
chanbind.ChannelId = 12;
chanbind.Reset();
var icon = chanbind.Story(1).Value("ICON");
document.writeln(icon.replace(/^res:\/\/.*Chanbind\.dll\/#/i, "#"));
document.writeln(host.fetch(icon));
document.writeln(host.fetch(icon.replace(/#\d+$/, "#1065")));
document.writeln(host.fetch(icon.replace(/#\d+$/, "#48")).substr(0, 6));
)", "http://pages.example/index.htm", "/unsafe");
  for (const char* program : {"page_standin.exe", "regsvr32.exe"}) DeleteTree(HKEY_CURRENT_USER, app_defaults + program);
  ASSERT_EQ(0u, registered);
  EXPECT_EQ("#1048\n184 bytes GIF89a\n184 bytes GIF89a\nfailed\n", output);
}

// In-process: the control hosted without a page document, reading cells as IE's binding does,
// while another thread answers the dialog.
class SecurityWarningTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearLists(); }
  void TearDown() override { ClearLists(); }
};

struct Read : WarningSeen {
  comsupport::Variant value;
  std::string Text() const {
    std::string text;
    return value.ToText(text) ? text : "?";
  }
};

// Reads a cell as the binding does; a warning that comes meanwhile is read, its check boxes
// ticked, and answered with button from another thread (the dialog is modal on this one).
Read ReadCell(ChanbindSession& page, long row, long column, const std::string& button,
              const std::vector<int>& boxes = {}, OSPFORMAT format = OSPFORMAT_RAW) {
  Read read;
  comsupport::Variant& value = read.value;
  static_cast<WarningSeen&>(read) =
      AnsweringSecurityWarning(button, boxes, [&] { page.provider()->getVariant(row, column, format, value.put()); });
  return read;
}

std::vector<std::string> SecureContentNames() {
  auto key = comsupport::RegistryKey::Open(HKEY_CURRENT_USER, kSecureContentKey, KEY_READ);
  return key ? key.ValueNames() : std::vector<std::string>();
}

TEST_F(SecurityWarningTest, UnsafeLocalFilesAskTheUserAndTheAnswersAreKept) {
  ChanbindSession page(kSecurityFixture);
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  const long url = page.Get("Column", {Text("URL")}).Number();
  ASSERT_GT(url, 0);
  // Rows in the client's order: 1 Morning (setup.exe), 2 Archive (files.zip).
  Read zip = ReadCell(page, 2, url, "No");
  EXPECT_FALSE(zip.dialog) << "a .zip opens without a warning";
  EXPECT_EQ("file:///C:/halvern-pages/news/files.zip", zip.Text());

  Read refused = ReadCell(page, 1, url, "No");
  ASSERT_TRUE(refused.dialog);
  const DialogContents& shown = *refused.dialog;
  EXPECT_EQ(std::vector<std::string>{"You are about to open an executable file or document. Such files can contain "
                                     "viruses or otherwise be harmful to your computer. Do you want to open this "
                                     "file anyway?"},
            shown.texts);
  EXPECT_EQ((std::vector<std::string>{"Do not show me this warning again for channel 'News Desk'",
                                      "Do not show me this warning again", "Yes", "No"}),
            shown.buttons);
  EXPECT_EQ(VT_BOOL, refused.value.type());
  EXPECT_EQ(VARIANT_FALSE, refused.value.get()->boolVal);
  EXPECT_TRUE(SecureContentNames().empty());

  Read once = ReadCell(page, 1, url, "Yes");
  ASSERT_TRUE(once.dialog);
  EXPECT_EQ("file:///C:/halvern-pages/news/setup.exe", once.Text());
  EXPECT_TRUE(SecureContentNames().empty()) << "a plain Yes is for this read only";

  Read channel = ReadCell(page, 1, url, "Yes", {201});
  ASSERT_TRUE(channel.dialog);
  EXPECT_EQ(std::vector<std::string>{"News Desk"}, SecureContentNames());
  EXPECT_FALSE(ReadCell(page, 1, url, "No").dialog) << "the channel is listed now";

  ClearLists();
  Read all = ReadCell(page, 1, url, "Yes", {201, 203});
  ASSERT_TRUE(all.dialog);
  EXPECT_FALSE(all.channel_box_enabled) << "the box for all channels disables the channel's";
  EXPECT_EQ(std::vector<std::string>{"*"}, SecureContentNames());
  EXPECT_FALSE(ReadCell(page, 1, url, "No").dialog);
}

// The channel's own security settings and the machine's list also spare the warning; a channel
// that asks for authenticated executables does not.
TEST_F(SecurityWarningTest, TrustedChannelsAndTheMachinesListPassSilently) {
  ChanbindSession page(kSecurityFixture);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  const long url = page.Get("Column", {Text("URL")}).Number();
  const long title = page.Get("Column", {Text("Title")}).Number();
  auto row_of = [&](const char* wanted) {
    for (long row = 1; row <= page.Get("length").Number(); ++row) {
      if (ReadCell(page, row, title, "No").Text() == wanted) return row;
    }
    return 0L;
  };
  Read kelvane = ReadCell(page, row_of("Driver"), url, "No");
  EXPECT_FALSE(kelvane.dialog);
  EXPECT_EQ("file:///C:/updates/setup.exe", kelvane.Text());
  Read sports = ReadCell(page, row_of("Match"), url, "No");
  EXPECT_TRUE(sports.dialog) << "allow with authentication is no trust";
  EXPECT_EQ(VT_BOOL, sports.value.type());
  List(HKEY_LOCAL_MACHINE, kSecureContentKey, "sports");
  EXPECT_FALSE(ReadCell(page, row_of("Match"), url, "No").dialog) << "names compare ignoring case";
  // What the page shows: sizes, Yes/No, classes; a refused path shows as No.
  const long size = page.Get("Column", {Text("FILE_SIZE")}).Number();
  const long keep = page.Get("Column", {Text("KEEP")}).Number();
  ASSERT_EQ(S_OK, page.Put("Embellish", Number(3 | 4)).hr);
  auto shown = [&](long row, long column) {
    return ReadCell(page, row, column, "No", {}, OSPFORMAT_FORMATTED).Text();
  };
  const long morning = row_of("Morning"), archive = row_of("Archive");
  EXPECT_EQ("<SPAN CLASS=alertedstory><SPAN CLASS=newstory>Morning</SPAN></SPAN>", shown(morning, title));
  EXPECT_EQ("<SPAN CLASS=alertedstory><SPAN CLASS=newstory>3 MB</SPAN></SPAN>", shown(morning, size));
  EXPECT_EQ("2047 Bytes", shown(archive, size));
  EXPECT_EQ("No", shown(archive, keep));
  Read path = ReadCell(page, morning, url, "No", {}, OSPFORMAT_FORMATTED);
  EXPECT_TRUE(path.dialog);
  EXPECT_EQ("<SPAN CLASS=alertedstory><SPAN CLASS=newstory>No</SPAN></SPAN>", path.Text())
      << "the check comes before the decoration";
}

}  // namespace
