// page_standin: plays what Internet Explorer does around a control on a page, for a page
// script file. It creates the control as an OBJECT tag would (safe for scripting and for
// initialisation, PARAMs through IPersistPropertyBag, a site whose document answers the page's
// address), runs the script in JScript with the control as a named item whose
// "function name::Event()" handlers are bound to its events, and plays IE's data binding. What
// the script writes, and what the binding's listeners heard, go to the output.
//
//   page_standin.exe /script page.js [/out file] [/url address] [/object name=ProgID]
//                    [/param name=value]... [/unsafe]
//
// Script objects: document.write(text), document.writeln(text); host.bind(qualifier),
// host.table("col1,col2"), host.record(), host.pump(ms), host.client (the stand-in client's
// control object), host.security() (the security manager's journal), host.fetch(address) (what
// an image of the page would load from it).
#include <windows.h>
#include <objsafe.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "data_binding.h"
#include "host_security.h"
#include "page_document.h"
#include "page_script.h"
#include "script_guids.h"
#include "script_objects.h"
#include "standin/control_container.h"
#include "standin_control.h"
#include "url_fetch.h"

namespace {

using comsupport::ComPtr;
using comsupport::Variant;

struct Options {
  std::string script;
  std::string out;
  std::string url = "http://pages.example/index.htm";
  std::string object_name = "chanbind";
  std::string prog_id = "Zorvane.Channels.1";
  standin::PropertyList params;
  bool safe = true;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool has_value = i + 1 < argc;
    if (option == "/unsafe") {
      options->safe = false;
    } else if (option == "/script" && has_value) {
      options->script = argv[++i];
    } else if (option == "/out" && has_value) {
      options->out = argv[++i];
    } else if (option == "/url" && has_value) {
      options->url = argv[++i];
    } else if ((option == "/object" || option == "/param") && has_value) {
      const std::string pair = argv[++i];
      const size_t equals = pair.find('=');
      if (equals == std::string::npos) return false;
      if (option == "/object") {
        options->object_name = pair.substr(0, equals);
        options->prog_id = pair.substr(equals + 1);
      } else {
        options->params.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
      }
    } else {
      return false;
    }
  }
  return !options->script.empty();
}

std::string TextOf(const Variant& value) {
  std::string text;
  value.ToText(text);
  return text;
}

std::vector<std::wstring> SplitColumns(const std::string& list) {
  std::vector<std::wstring> columns;
  std::stringstream stream(list);
  std::string item;
  while (std::getline(stream, item, ',')) {
    if (!item.empty()) columns.push_back(comsupport::ToWide(item));
  }
  return columns;
}

void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    if (ms) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount() - start < ms);
}

int RunPage(const Options& options) {
  std::string output;
  auto write = [&](const std::string& text) {
    output += text;
    std::cout << text << std::flush;
  };

  std::ifstream file(options.script, std::ios::binary);
  if (!file) {
    std::cerr << "page_standin: cannot read " << options.script << "\n";
    return 2;
  }
  std::stringstream script_text;
  script_text << file.rdbuf();

  standin::ControlContainer container;
  auto security = ComPtr<standin::HostSecurityManager>::Attach(new standin::HostSecurityManager());
  auto document = ComPtr<standin::PageDocument>::Attach(new standin::PageDocument(comsupport::ToWide(options.url)));
  container.site()->SetContainer(static_cast<IOleContainer*>(document.get()));
  container.site()->SetServices(static_cast<IServiceProvider*>(security.get()));
  standin::Initialization initialization = options.params.empty()
                                               ? standin::Initialization::New()
                                               : standin::Initialization::FromParams(options.params);
  if (options.safe) {
    // IE asks an OBJECT tag's control to be safe for its PARAMs and for scripting first.
    initialization.before_load = [](IUnknown* control) {
      ComPtr<IObjectSafety> safety;
      if (FAILED(control->QueryInterface(IID_IObjectSafety, safety.put_void()))) return;
      safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA,
                                        INTERFACESAFE_FOR_UNTRUSTED_DATA);
      safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                        INTERFACESAFE_FOR_UNTRUSTED_CALLER);
    };
  }
  HRESULT hr = container.Create(options.prog_id, initialization);
  if (FAILED(hr)) {
    write("cannot create " + options.prog_id + ": " + comsupport::HresultText(hr) + "\n");
    return 3;
  }
  container.Activate();

  auto wrapper = ComPtr<standin::ObjectWrapper>::Attach(new standin::ObjectWrapper(container.control()));
  ComPtr<ITypeInfo> class_info;
  if (auto provide = ComPtr<IUnknown>(container.control()).As<IProvideClassInfo>()) provide->GetClassInfo(class_info.put());

  standin::DataBinding binding;
  ComPtr<IDispatch> client_control;
  auto page_document = ComPtr<standin::ScriptObject>::Attach(new standin::ScriptObject());
  page_document->Add(L"write", [&](const std::vector<Variant>& arguments, VARIANT*) {
    for (const auto& argument : arguments) write(TextOf(argument));
    return S_OK;
  });
  page_document->Add(L"writeln", [&](const std::vector<Variant>& arguments, VARIANT*) {
    for (const auto& argument : arguments) write(TextOf(argument));
    write("\n");
    return S_OK;
  });
  auto host = ComPtr<standin::ScriptObject>::Attach(new standin::ScriptObject());
  host->Add(L"bind", [&](const std::vector<Variant>& arguments, VARIANT*) {
    const std::string qualifier = arguments.empty() ? "" : TextOf(arguments[0]);
    ComPtr<IDispatch> control;
    container.control()->QueryInterface(IID_IDispatch, control.put_void());
    const std::string failure = binding.Bind(control.get(), comsupport::ToWide(qualifier));
    if (!failure.empty()) write("bind: " + failure + "\n");
    return S_OK;
  });
  host->Add(L"table", [&](const std::vector<Variant>& arguments, VARIANT*) {
    write(binding.Table(SplitColumns(arguments.empty() ? "" : TextOf(arguments[0]))));
    return S_OK;
  });
  host->Add(L"record", [&](const std::vector<Variant>&, VARIANT*) {
    write(binding.TakeRecord());
    return S_OK;
  });
  host->Add(L"pump", [&](const std::vector<Variant>& arguments, VARIANT*) {
    Variant ms;
    if (!arguments.empty()) ::VariantChangeType(ms.get(), const_cast<VARIANT*>(arguments[0].get()), 0, VT_I4);
    Pump(ms.type() == VT_I4 ? static_cast<DWORD>(ms.get()->lVal) : 0);
    return S_OK;
  });
  host->Add(L"client", [&](const std::vector<Variant>&, VARIANT* result) {
    if (!client_control) {
      HRESULT created = ::CoCreateInstance(CLSID_ZorvaneStandinControl, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                           client_control.put_void());
      if (FAILED(created)) return created;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = client_control.get();
    client_control->AddRef();
    return S_OK;
  });
  // The bytes an address delivers: "<size> bytes <first six characters>", or the bind's failure.
  host->Add(L"fetch", [&](const std::vector<Variant>& arguments, VARIANT* result) {
    const standin::FetchResult fetched =
        standin::FetchUrl(comsupport::ToWide(arguments.empty() ? "" : TextOf(arguments[0])), 10000);
    const std::string text = FAILED(fetched.hr) ? "failed " + comsupport::HresultText(fetched.hr)
                                                : std::to_string(fetched.data.size()) + " bytes " +
                                                      fetched.data.substr(0, 6);
    result->vt = VT_BSTR;
    result->bstrVal = ::SysAllocString(comsupport::ToWide(text).c_str());
    return S_OK;
  });
  host->Add(L"security", [&](const std::vector<Variant>&, VARIANT*) {
    for (const auto& line : security->journal) write(line + "\n");
    security->journal.clear();
    return S_OK;
  });

  ComPtr<IActiveScript> engine;
  hr = ::CoCreateInstance(standin::kClsidJScript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.put_void());
  if (FAILED(hr)) {
    write("no script engine: " + comsupport::HresultText(hr) + "\n");
    return 4;
  }
  ComPtr<IObjectSafety> safety;
  if (SUCCEEDED(engine->QueryInterface(IID_IObjectSafety, safety.put_void()))) {
    const DWORD options_wanted =
        INTERFACESAFE_FOR_UNTRUSTED_DATA | INTERFACE_USES_DISPEX | INTERFACE_USES_SECURITY_MANAGER;
    safety->SetInterfaceSafetyOptions(standin::kIidActiveScriptParse32, options_wanted, options_wanted);
  }
  auto site = ComPtr<standin::PageScriptSite>::Attach(
      new standin::PageScriptSite(container.host(), static_cast<IServiceProvider*>(security.get()), write));
  site->AddItem(comsupport::ToWide(options.object_name), static_cast<IDispatch*>(wrapper.get()), class_info.get());
  site->AddItem(L"document", static_cast<IDispatch*>(page_document.get()), nullptr);
  site->AddItem(L"host", static_cast<IDispatch*>(host.get()), nullptr);
  engine->SetScriptSite(site.get());
  ComPtr<IActiveScriptParse32> parse;
  engine->QueryInterface(standin::kIidActiveScriptParse32, parse.put_void());
  if (parse) parse->InitNew();
  engine->AddNamedItem(comsupport::ToWide(options.object_name).c_str(), SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
  engine->AddNamedItem(L"document", SCRIPTITEM_ISVISIBLE);
  engine->AddNamedItem(L"host", SCRIPTITEM_ISVISIBLE);
  hr = standin::RunScript(engine.get(), comsupport::ToWide(script_text.str()));
  if (FAILED(hr)) write("script failed: " + comsupport::HresultText(hr) + "\n");
  Pump(0);

  engine->Close();
  engine.reset();
  wrapper->Disconnect();
  client_control.reset();
  container.Teardown();
  if (!options.out.empty()) {
    std::ofstream out(options.out, std::ios::binary);
    out << output;
  }
  return site->errors() == 0 && SUCCEEDED(hr) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << "usage: page_standin /script page.js [/out file] [/url address] [/object name=ProgID] "
                 "[/param name=value]... [/unsafe]\n";
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr))) return 5;
  int result = 5;
  try {
    result = RunPage(options);
  } catch (const std::exception& error) {
    std::cerr << "page_standin: " << error.what() << "\n";
  }
  ::OleUninitialize();
  return result;
}
