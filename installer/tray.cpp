#include "tray.h"

#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "resource.h"

namespace installer {

const char kTrayClass[] = "ZR_OSTREL_TRAY_CLASS";

namespace {

struct TrayState {
  TrayChoice choice = TrayChoice::kQuit;
  HMENU menu = nullptr;
};

void ShowMenu(HWND window, TrayState* state) {
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  // The menu closes properly only when our thread has the foreground input.
  HWND under = ::WindowFromPoint(cursor);
  DWORD other = under ? ::GetWindowThreadProcessId(under, nullptr) : 0;
  DWORD own = ::GetCurrentThreadId();
  if (other && other != own) ::AttachThreadInput(own, other, TRUE);
  ::SetForegroundWindow(window);
  HMENU popup = ::GetSubMenu(state->menu, 0);
  ::SetMenuDefaultItem(popup, IDC_TRAY_OPEN, FALSE);
  ::TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
  ::PostMessageA(window, WM_NULL, 0, 0);
  if (other && other != own) ::AttachThreadInput(own, other, FALSE);
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<TrayState*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE:
      ::SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
      return 0;
    case kTrayCallback:
      if (lparam == WM_LBUTTONDBLCLK) {
        state->choice = TrayChoice::kOpen;
        ::DestroyWindow(window);
      } else if (lparam == WM_RBUTTONUP) {
        ShowMenu(window, state);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_TRAY_OPEN) {
        state->choice = TrayChoice::kOpen;
        ::DestroyWindow(window);
      } else if (LOWORD(wparam) == IDC_TRAY_QUIT) {
        state->choice = TrayChoice::kQuit;
        ::DestroyWindow(window);
      }
      return 0;
    case WM_CLOSE:
      state->choice = TrayChoice::kQuit;
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

TrayChoice RunTray() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = &TrayProc;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_TRAY));
  window_class.lpszClassName = kTrayClass;
  ::RegisterClassA(&window_class);

  TrayState state;
  state.menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(IDM_TRAY));
  HWND window = ::CreateWindowExA(0, kTrayClass, kTrayClass, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, &state);
  if (!window) {
    if (state.menu) ::DestroyMenu(state.menu);
    return TrayChoice::kQuit;
  }
  while (!::FindWindowA("Shell_TrayWnd", nullptr) && ::IsWindow(window)) ::Sleep(250);

  NOTIFYICONDATAA icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  icon.uCallbackMessage = kTrayCallback;
  icon.hIcon = window_class.hIcon;
  std::strncpy(icon.szTip, "Zorvane Lite Installer", 63);
  ::Shell_NotifyIconA(NIM_ADD, &icon);

  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  ::Shell_NotifyIconA(NIM_DELETE, &icon);
  if (state.menu) ::DestroyMenu(state.menu);
  return state.choice;
}

}  // namespace installer
