#include "chanbind_test_support.h"

#include <objsafe.h>

#include <atomic>
#include <thread>

#include "testing/process.h"
#include "testing/scripting.h"

namespace chanbind_test {

using comsupport::ComPtr;
using comsupport::Variant;

const char kFixture[] = R"({
  "channels": [
    { "id": 7, "name": "Kelvane", "categories": ["Updates"], "securityMode": 2,
      "stories": [
        { "id": 101, "title": "Display driver", "fields": { "URL": "http://kelvane.example/driver.exe", "Story Time": 300 },
          "attributes": { "READ": 0, "KEEP": 1, "PUBLISHED": 1, "SUBSCRIBED": "3", "LAST_TIME": 0 } },
        { "id": 102, "title": "BIOS notes", "fields": { "TEXT": "1", "Story Time": 100 },
          "attributes": { "READ": 1, "KEEP": 0 } },
        { "id": 103, "title": "Audio pack", "fields": { "Story Time": 200, "VESSIK_TYPE": 2 },
          "attributes": { "READ": 0 } } ] },
    { "id": 12, "name": "News Desk", "categories": ["News"],
      "stories": [
        { "id": 201, "title": "Morning", "fields": { "Story Time": 10, "TEXT": "a" }, "attributes": { "READ": 0 } },
        { "id": 202, "title": "Noon", "fields": { "Story Time": 30, "TEXT": "b" }, "attributes": { "READ": 1 } },
        { "id": 203, "title": "Evening", "fields": { "Story Time": 20, "TEXT": "c" }, "attributes": { "READ": 0 } } ] },
    { "id": 20, "name": "Sports", "categories": ["news"],
      "stories": [ { "id": 301, "title": "Match", "fields": { "Story Time": 5, "TEXT": "d" } } ] }
  ]
})";

std::string BulkFixture(long count) {
  std::string stories;
  for (long id = 1; id <= count; ++id) {
    if (id > 1) stories += ",";
    stories += "{\"id\":" + std::to_string(id) + ",\"title\":\"Story " + std::to_string(id) +
               "\",\"fields\":{\"TEXT\":\"t\",\"Story Time\":" + std::to_string(id) + "}}";
  }
  return R"({"channels":[{"id":30,"name":"Bulk","stories":[)" + stories + "]}]}";
}

ComPtr<IClassFactory> ChanbindFactory() {
  static HMODULE module = ::LoadLibraryA(testing_support::BuildOutput("Chanbind.dll").c_str());
  if (!module) return nullptr;
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (get) get(CLSID_Chanbind2, IID_IClassFactory, factory.put_void());
  return factory;
}

std::string CallResult::Text() const {
  std::string text;
  if (!value.ToText(text)) return "?";
  return text;
}

long CallResult::Number() const {
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(value.get()), 0, VT_I4))) return -99999;
  return number.get()->lVal;
}

Variant Text(const char* text) { return Variant(std::string(text)); }
Variant Number(long number) { return Variant(number); }
Variant Bool(bool value) {
  Variant result;
  result.put()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

ChanbindSession::ChanbindSession(const std::string& fixture, DWORD safety, const standin::PropertyList& params)
    : client_(std::make_unique<testing_support::StandinClient>(fixture)) {
  ComPtr<IClassFactory> factory = ChanbindFactory();
  if (!factory) throw std::runtime_error("Chanbind.dll gives no class factory");
  const standin::Initialization initialization =
      params.empty() ? standin::Initialization::New() : standin::Initialization::FromParams(params);
  HRESULT hr = container_.Create(factory.get(), initialization);
  if (FAILED(hr)) throw std::runtime_error("creating the control failed");
  if (safety) {
    ComPtr<IObjectSafety> safe;
    container_.control()->QueryInterface(IID_IObjectSafety, safe.put_void());
    safe->SetInterfaceSafetyOptions(IID_IDispatch, safety & 1, safety & 1);
    safe->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, safety & 2, safety & 2);
  }
  container_.Advise();
  container_.control()->QueryInterface(IID_IDispatch, dispatch_.put_void());
  container_.control()->QueryInterface(IID_OLEDBSimpleProvider, provider_.put_void());
}

ChanbindSession::~ChanbindSession() {
  provider_.reset();
  dispatch_.reset();
  container_.Teardown();
}

CallResult ChanbindSession::Invoke(const char* name, WORD flags, std::vector<Variant> arguments) {
  // As a script engine calls: the failure comes back in the exception information.
  CallResult result;
  std::wstring wide = comsupport::ToWide(name);
  LPOLESTR names[] = {&wide[0]};
  DISPID id = 0;
  result.hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(result.hr)) return result;
  std::vector<VARIANT> reversed;
  for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) reversed.push_back(*argument->get());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID put = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  ::SetErrorInfo(0, nullptr);
  result.hr = dispatch_->Invoke(id, IID_NULL, 0, flags, &params, result.value.put(), &exception, nullptr);
  if (result.hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    result.hr = exception.scode ? exception.scode : E_FAIL;
    if (exception.bstrDescription) result.error = comsupport::ToAnsi(exception.bstrDescription);
  } else if (FAILED(result.hr)) {
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
      comsupport::Bstr description;
      info->GetDescription(description.put());
      result.error = description.Ansi();
    }
  }
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return result;
}

ComPtr<IChanbind3> ChanbindSession::chanbind() const {
  ComPtr<IChanbind3> dual;
  dispatch_->QueryInterface(IID_IChanbind3, dual.put_void());
  return dual;
}

CallResult ChanbindSession::Get(const char* name, std::vector<Variant> arguments) {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(arguments));
}

CallResult ChanbindSession::Put(const char* name, const Variant& value) {
  return Invoke(name, DISPATCH_PROPERTYPUT, {value});
}

CallResult ChanbindSession::Call(const char* name, std::vector<Variant> arguments) {
  return Invoke(name, DISPATCH_METHOD, std::move(arguments));
}

ComPtr<standin::BindingRecorder> ChanbindSession::Bind(const std::string& qualifier) {
  auto listener = ComPtr<standin::BindingRecorder>::Attach(new standin::BindingRecorder());
  provider_->addOLEDBSimpleProviderListener(listener.get());
  ComPtr<IChanbind2> chanbind;
  dispatch_->QueryInterface(IID_IChanbind2, chanbind.put_void());
  comsupport::Bstr text(qualifier);
  ComPtr<IUnknown> unknown;
  HRESULT hr = chanbind->msDataSourceObject(text.get(), unknown.put());
  if (FAILED(hr)) listener->journal.push_back("msDataSourceObject failed " + comsupport::HresultText(hr));
  return listener;
}

std::string ChanbindSession::Table(const std::vector<std::string>& columns) {
  ComPtr<IChanbind2> chanbind;
  dispatch_->QueryInterface(IID_IChanbind2, chanbind.put_void());
  std::vector<long> indexes;
  for (const auto& title : columns) {
    long index = 0;
    comsupport::Bstr text(title);
    chanbind->get_Column(text.get(), &index);
    indexes.push_back(index);
  }
  DBROWCOUNT rows = 0;
  provider_->getRowCount(&rows);
  std::string table;
  for (long row = 1; row <= rows; ++row) {
    for (size_t i = 0; i < indexes.size(); ++i) {
      Variant cell;
      provider_->getVariant(row, indexes[i], OSPFORMAT_RAW, cell.put());
      std::string text;
      cell.ToText(text);
      table += (i ? "|" : "") + text;
    }
    table += "\n";
  }
  return table;
}

bool ChanbindSession::WaitFor(const std::function<bool()>& predicate, DWORD timeout_ms) {
  const DWORD start = ::GetTickCount();
  while (!predicate()) {
    if (::GetTickCount() - start > timeout_ms) return false;
    testing_support::PumpMessages(20);
  }
  return true;
}

std::vector<std::string> ChanbindSession::EventsOf(DISPID id) const {
  std::vector<std::string> lines;
  const std::string prefix = std::to_string(id);
  for (const auto& line : events()->journal()) {
    if (line == prefix || line.rfind(prefix + " ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

WarningSeen AnsweringSecurityWarning(const std::string& button, const std::vector<int>& boxes,
                                     const std::function<void()>& action) {
  WarningSeen seen;
  std::atomic<bool> done{false};
  std::thread answer([&] {
    while (!done) {
      std::optional<testing_support::Dialog> dialog = testing_support::WaitForDialog("Security Warning", 50);
      if (!dialog) continue;
      seen.dialog = dialog->Read();
      for (int box : boxes) {
        HWND control = ::GetDlgItem(dialog->window(), box);
        ::PostMessageA(control, BM_CLICK, 0, 0);
        for (int i = 0; i < 200 && ::SendMessageA(control, BM_GETCHECK, 0, 0) != BST_CHECKED; ++i) ::Sleep(10);
      }
      seen.channel_box_enabled = ::IsWindowEnabled(::GetDlgItem(dialog->window(), 201)) != FALSE;
      dialog->Press(button);
      dialog->WaitClosed(5000);
      return;
    }
  });
  action();
  done = true;
  answer.join();
  return seen;
}

}  // namespace chanbind_test
