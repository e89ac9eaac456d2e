#include "grid_test_support.h"

namespace grid_test {

GridHost::GridHost(DWORD grid_style, int width, int height) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = &GridHost::Proc;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = "GridTestHost";
  ::RegisterClassA(&window_class);
  window_ = ::CreateWindowExA(0, "GridTestHost", "grid", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                              nullptr, nullptr, window_class.hInstance, this);
  RECT client = {};
  ::GetClientRect(window_, &client);
  grid.Create(grid_style, client, window_, kGridId);
  Pump();
}

GridHost::~GridHost() {
  if (window_) ::DestroyWindow(window_);
  Pump();
}

std::vector<UINT> GridHost::Codes() const {
  std::vector<UINT> codes;
  for (const Notice& notice : notices) codes.push_back(notice.code);
  return codes;
}

LRESULT CALLBACK GridHost::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  auto* host = reinterpret_cast<GridHost*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (host && message == WM_NOTIFY && wParam == kGridId) {
    const auto* notice = reinterpret_cast<const SGNOTIFY*>(lParam);
    if (notice->hdr.hwndFrom == host->grid.GetSafeHwnd() && notice->hdr.idFrom == kGridId) {
      host->notices.push_back({notice->hdr.code, notice->iItem, notice->nVKey, host->grid.GetItemCount(),
                               host->grid.GetItemData(notice->iItem)});
    }
    return 0;
  }
  if (message == WM_NCDESTROY && host) host->window_ = nullptr;
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

void Click(HWND child, POINT point) {
  const LPARAM where = MAKELPARAM(point.x, point.y);
  ::SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageA(child, WM_LBUTTONUP, 0, where);
  Pump();
}

void ClickColumnTitle(CSuperGridCtrl& grid, int column) {
  RECT item = {};
  ::SendMessageA(grid.GetHeaderCtrl(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
  Click(grid.GetHeaderCtrl(), {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

int ListLineHeight(CSuperGridCtrl& grid) {
  HWND list = grid.GetListBox();
  HDC dc = ::GetDC(list);
  HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0)));
  RECT area = {};
  ::DrawTextA(dc, "Blah blah blah yg", -1, &area, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, previous);
  ::ReleaseDC(list, dc);
  return area.bottom - area.top;
}

RECT RowRect(CSuperGridCtrl& grid, int row) {
  RECT rect = {};
  ::SendMessageA(grid.GetListBox(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  ::MapWindowPoints(grid.GetListBox(), grid.GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace grid_test
