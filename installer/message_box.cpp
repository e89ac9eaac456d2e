#include "message_box.h"

namespace installer {

int ShowBox(const std::string& text, const std::string& caption, UINT style, HWND owner) {
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
}

void ShowError(const std::string& text, const std::string& caption, HWND owner) {
  ShowBox(text, caption, MB_OK | MB_ICONERROR, owner);
}

std::string ResourceString(UINT id) {
  char text[1024] = {};
  ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

namespace {

INT_PTR CALLBACK SimpleProc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) {
    ::SetForegroundWindow(window);
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    ::EndDialog(window, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunSimpleDialog(UINT id, HWND owner) {
  return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), owner, &SimpleProc, 0);
}

}  // namespace installer
