#include "library_thread.h"

#include <cstdio>

#include "client_pointer.h"
#include "command.h"
#include "comsupport/bstr.h"
#include "comsupport/this_module.h"
#include "comsupport/unique_handle.h"
#include "library_state.h"
#include "notifications.h"

namespace ravlin {

namespace {

constexpr char kWindowClass[] = "RAVLIN_WINDOW";
constexpr char kWindowTitle[] = "Ravlin";
constexpr DWORD kWindowStyle = 0x02CF0000;  // clip children, overlapped window; never shown
constexpr DWORD kKeepAliveMs = 10000;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  UINT subscribe = State().subscribe_message;
  if (subscribe != 0 && message == subscribe && lparam != 0) {
    RunCommand(*reinterpret_cast<RavlinCommand*>(lparam));
    return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

HWND CreateHiddenWindow() {
  HMODULE module = comsupport::ThisModule();
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = module;
  window_class.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kWindowClass;
  // A start after a stop finds the class still registered.
  if (!::RegisterClassA(&window_class) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return ::CreateWindowExA(0, kWindowClass, kWindowTitle, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, module, nullptr);
}

void SignalInitialized() {
  comsupport::UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, InitializedEventName().c_str()));
  if (event) ::SetEvent(event.get());
}

void DispatchMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;  // the thread ends by its stop event only
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

bool KeepAlive() {
  comsupport::ComPtr<IZorvane4> client = ThreadClient();
  if (!client) return false;
  comsupport::Bstr name;
  return client->get_Name(name.put()) == S_OK;
}

void RunLoop(HANDLE stop_event) {
  bool checked = false;
  DWORD last_check = 0;
  for (;;) {
    // Input already seen by a COM call's modal loop still counts: otherwise a command posted
    // during one would wait for the time-out.
    DWORD woken =
        ::MsgWaitForMultipleObjectsEx(1, &stop_event, kKeepAliveMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
    DispatchMessages();
    DWORD now = ::GetTickCount();
    if (!checked || now - last_check >= kKeepAliveMs) {
      checked = true;
      last_check = now;
      if (!KeepAlive()) {
        RaiseNotification(ZRNOTIFY_CLIENT_SHUTDOWN);
        return;
      }
    }
  }
}

// True while the state still belongs to this thread: a thread that outlived its stop's wait
// must not tear down what a later start has set up.
bool StateIsOurs(const LibraryState& state) { return state.library_thread_id == ::GetCurrentThreadId(); }

void EndSequence(HWND window, IZorvane4* client) {
  LibraryState& state = State();
  {
    comsupport::CriticalSectionGuard guard(state.lock);
    if (StateIsOurs(state)) {
      // No command is posted from here on; those already queued go with the window.
      state.window = nullptr;
      DestroyNotificationHandlers();
      state.library_client = nullptr;
      state.library_thread_id = 0;
    }
  }
  if (client) client->Release();
  ::CoUninitialize();
  ::Sleep(500);
  if (window) ::DestroyWindow(window);
}

// The thread waits on a handle of its own, so that a stop that gave up waiting can close the
// state's handle while the thread still runs.
HANDLE OwnHandleOf(HANDLE event) {
  HANDLE own = nullptr;
  if (event) ::DuplicateHandle(::GetCurrentProcess(), event, ::GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return own;
}

}  // namespace

std::string InitializedEventName() {
  char name[40];
  std::snprintf(name, sizeof name, "RAVLIN_INITIALIZED%08X", static_cast<unsigned>(::GetCurrentProcessId()));
  return name;
}

DWORD WINAPI LibraryThreadMain(void*) {
  LibraryState& state = State();
  HWND window = nullptr;
  IZorvane4* client = nullptr;  // the state's reference, released by the end sequence
  comsupport::UniqueHandle stop_event;
  try {
    {
      comsupport::CriticalSectionGuard guard(state.lock);
      ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      state.library_thread_id = ::GetCurrentThreadId();
      // A thread of an earlier start that outlived its stop keeps its pointer to itself.
      state.library_client = nullptr;
      stop_event.reset(OwnHandleOf(state.stop_event));
      window = CreateHiddenWindow();
      state.window = window;
    }
    if (window && stop_event) {
      // Outside the lock: the attempts can take a minute, and other threads may call the
      // library meanwhile.
      HRESULT hr = CreateLibraryClient(&client);
      if (SUCCEEDED(hr) && client) {
        comsupport::CriticalSectionGuard guard(state.lock);
        if (StateIsOurs(state)) state.library_client = client;
      } else {
        char line[80];
        std::snprintf(line, sizeof line, "Ravlin: the client cannot be created: 0x%08lX\n",
                      static_cast<unsigned long>(hr));
        ::OutputDebugStringA(line);
      }
      ZRInitializeNotificationHandlers();
      SignalInitialized();
      RunLoop(stop_event.get());
    } else {
      ::OutputDebugStringA(window ? "Ravlin: the library thread has no stop event\n"
                                  : "Ravlin: the hidden window cannot be created\n");
      // The starting thread need not wait out its time-out.
      SignalInitialized();
    }
  } catch (...) {
    ::OutputDebugStringA("Ravlin: the library thread failed\n");
    SignalInitialized();
  }
  EndSequence(window, client);
  return 0;
}

}  // namespace ravlin
