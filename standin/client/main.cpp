// ZorvaneStandin.exe: plays the Zorvane client for tests and the demo.
//
//   ZorvaneStandin.exe [/fixture FILE] [/ready EVENT] [/quit EVENT] [-Embedding]
//   ZorvaneStandin.exe /regserver | /unregserver
//
// It serves the application object, the replicator and its control object to every caller
// from one process, starts the registered client extensions, and runs until it is shut down
// (IZorvane::Shutdown, the control's Quit, or the named quit event).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "client.h"
#include "comsupport/com_error.h"
#include "comsupport/registrar.h"
#include "comsupport/unique_handle.h"
#include "control.h"
#include "extensions.h"
#include "objects.h"
#include "registration.h"
#include "server_class_factory.h"

namespace {

using standin::Client;

struct Options {
  bool register_server = false;
  bool unregister_server = false;
  std::string fixture;
  std::string ready_event;
  std::string quit_event;
};

Options ParseOptions() {
  Options options;
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> words;
  for (int i = 1; i < count; ++i) words.push_back(comsupport::ToAnsi(arguments[i]));
  ::LocalFree(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    auto next = [&]() { return i + 1 < words.size() ? words[++i] : std::string(); };
    if (!::lstrcmpiA(word.c_str(), "/regserver") || !::lstrcmpiA(word.c_str(), "-regserver")) {
      options.register_server = true;
    } else if (!::lstrcmpiA(word.c_str(), "/unregserver") || !::lstrcmpiA(word.c_str(), "-unregserver")) {
      options.unregister_server = true;
    } else if (!::lstrcmpiA(word.c_str(), "/fixture")) {
      options.fixture = next();
    } else if (!::lstrcmpiA(word.c_str(), "/ready")) {
      options.ready_event = next();
    } else if (!::lstrcmpiA(word.c_str(), "/quit")) {
      options.quit_event = next();
    }
    // -Embedding (started by COM) needs nothing more.
  }
  return options;
}

void Complain(const std::string& text) {
  std::fprintf(stderr, "ZorvaneStandin: %s\n", text.c_str());
  ::OutputDebugStringA(("ZorvaneStandin: " + text + "\n").c_str());
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* client = reinterpret_cast<Client*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (client) {
    switch (message) {
      case Client::kDeliverMessage:
        client->DeliverQueued();
        return 0;
      case Client::kStartExtensionsMessage:
        standin::StartExtensions(*client);
        client->ScheduleDelivery();
        return 0;
      case Client::kShutdownMessage:
        client->DeliverQueued();  // the application handlers hear of the shutdown first
        standin::ReleaseExtensions(*client);
        ::PostQuitMessage(0);
        return 0;
      default:
        break;
    }
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

// One registered class object; revoked when it goes.
class ClassRegistration {
 public:
  ClassRegistration(REFCLSID clsid, IUnknown* factory) {
    hr_ = ::CoRegisterClassObject(clsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~ClassRegistration() {
    if (SUCCEEDED(hr_)) ::CoRevokeClassObject(cookie_);
  }
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
  DWORD cookie_ = 0;
};

int Serve(const Options& options) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = "ZorvaneStandinWindow";
  if (!::RegisterClassA(&window_class)) {
    Complain("cannot register the window class");
    return 3;
  }
  comsupport::UniqueWindow window(::CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0,
                                                    HWND_MESSAGE, nullptr, window_class.hInstance, nullptr));
  if (!window) {
    Complain("cannot create the message window");
    return 3;
  }
  Client client(window.get(), DirectoryOf(comsupport::ModulePath(nullptr)));
  if (!options.fixture.empty()) {
    std::ifstream file(options.fixture, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
      Complain("cannot read the fixture " + options.fixture);
      return 2;
    }
    try {
      client.LoadFixture(text.str());
    } catch (const std::exception& error) {
      Complain(options.fixture + ": " + error.what());
      return 2;
    }
  }
  ::SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&client));

  using Factory = comsupport::ComPtr<IUnknown>;
  Factory application = Factory::Attach(new standin::ServerClassFactory(
      [&client](REFIID iid, void** out) { return standin::NewApplication(client, iid, out); }));
  Factory replicator = Factory::Attach(new standin::ServerClassFactory(
      [&client](REFIID iid, void** out) { return standin::NewReplicator(client, iid, out); }));
  Factory control = Factory::Attach(new standin::ServerClassFactory(
      [&client](REFIID iid, void** out) { return standin::NewControl(client, iid, out); }));
  ClassRegistration application_class(CLSID_Zorvane, application.get());
  ClassRegistration replicator_class(CLSID_ZorvaneReplicator, replicator.get());
  ClassRegistration control_class(CLSID_ZorvaneStandinControl, control.get());
  for (const ClassRegistration* registration : {&application_class, &replicator_class, &control_class}) {
    if (FAILED(registration->hr())) {
      Complain("cannot register a class object: " + comsupport::HresultText(registration->hr()));
      return 3;
    }
  }

  comsupport::UniqueHandle quit;
  if (!options.quit_event.empty()) quit.reset(::OpenEventA(SYNCHRONIZE, FALSE, options.quit_event.c_str()));
  if (!options.ready_event.empty()) {
    comsupport::UniqueHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, options.ready_event.c_str()));
    if (!ready || !::SetEvent(ready.get())) Complain("cannot signal " + options.ready_event);
  }
  // Extensions start from the loop, so that a box one of them shows does not hold up callers.
  ::PostMessageA(window.get(), Client::kStartExtensionsMessage, 0, 0);

  HANDLE waits[1] = {quit.get()};
  DWORD wait_count = quit ? 1 : 0;
  for (;;) {
    DWORD woken = ::MsgWaitForMultipleObjects(wait_count, waits, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0 && wait_count == 1) {
      client.BeginShutdown();
      wait_count = 0;  // told once
      continue;
    }
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Options options = ParseOptions();
  HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) {
    Complain("COM did not start: " + comsupport::HresultText(hr));
    return 3;
  }
  int result;
  if (options.register_server || options.unregister_server) {
    hr = options.register_server ? standin::RegisterServer() : standin::UnregisterServer();
    if (FAILED(hr)) Complain("registration failed: " + comsupport::HresultText(hr));
    result = FAILED(hr) ? 1 : 0;
  } else {
    result = Serve(options);
  }
  ::CoUninitialize();
  return result;
}
