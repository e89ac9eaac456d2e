#include "refresh_window.h"

#include <atomic>

#include "comsupport/boundary.h"
#include "comsupport/this_module.h"
#include "notification_callbacks.h"
#include "refresh_handlers.h"
#include "refresh_messages.h"

namespace vinnet {

namespace {

constexpr char kClassName[] = "QM_SERVICE_REFRESH_HANDLER_WINDOW";
// How long a destroy request waits for a window owned by another thread.
constexpr UINT kDestroyTimeoutMs = 10000;

std::atomic<HWND> refresh_window{nullptr};

// Posted messages still queued when the window goes would never be handled: free what they carry.
void FreeQueued(HWND window) {
  MSG message;
  while (::PeekMessageA(&message, window, kChannelContentChanged, kStoriesDownloaded, PM_REMOVE))
    FreeMessagePayload(message.message, message.lParam);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (IsChannelMessage(message) || IsStoryMessage(message)) {
    HandleRefreshMessage(message, wparam, lparam);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      comsupport::Boundary("refresh window creation", false, [&] { return RegisterNotificationCallbacks(window); });
      return 0;
    case WM_DESTROY:
      UnregisterNotificationCallbacks();
      FreeQueued(window);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wparam, lparam);
  }
}

bool RegisterWindowClass() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = comsupport::ThisModule();
  window_class.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  return ::RegisterClassA(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateRefreshWindow() {
  if (!RegisterWindowClass()) return nullptr;
  // A pop-up, never shown: an overlapped window would be widened to hold its caption.
  HWND window = ::CreateWindowExA(0, kClassName, "", WS_POPUP, -100, -100, 1, 1, nullptr, nullptr,
                                  comsupport::ThisModule(), nullptr);
  refresh_window.store(window);
  return window;
}

void DestroyRefreshWindow() {
  HWND window = refresh_window.exchange(nullptr);
  if (window && ::IsWindow(window)) {
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
      ::DestroyWindow(window);
    } else {
      // Only the owning thread can destroy a window; WM_CLOSE makes it do so.
      DWORD_PTR result = 0;
      ::SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kDestroyTimeoutMs, &result);
    }
  }
  // A window that went with its thread never saw WM_DESTROY.
  UnregisterNotificationCallbacks();
  if (!window || !::IsWindow(window)) ::UnregisterClassA(kClassName, comsupport::ThisModule());
}

HWND RefreshWindow() { return refresh_window.load(); }

}  // namespace vinnet
