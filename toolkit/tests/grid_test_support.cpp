#include "grid_test_support.h"

#include <gdiplus.h>

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

Capture::Capture(HWND window) {
  ::UpdateWindow(window);
  RECT client = {};
  ::GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC window_dc = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(window_dc);
  HBITMAP bitmap = ::CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && memory) {
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width_, height_, window_dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels_.assign(first, first + static_cast<size_t>(width_) * height_);
    ::SelectObject(memory, previous);
  }
  if (bitmap) ::DeleteObject(bitmap);
  if (memory) ::DeleteDC(memory);
  ::ReleaseDC(window, window_dc);
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
  const DWORD pixel = pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int Capture::Count(COLORREF colour, const RECT& rect) const {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (At(x, y) == colour) ++count;
    }
  }
  return count;
}

bool Capture::SavePng(const std::wstring& path) const {
  if (pixels_.empty()) return false;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  {
    Gdiplus::GpBitmap* image = nullptr;
    // GDI+ reads the pixels in place: the buffer outlives the bitmap.
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width_, height_, width_ * 4, PixelFormat32bppRGB,
                                                       reinterpret_cast<BYTE*>(const_cast<DWORD*>(pixels_.data())),
                                                       &image) == Gdiplus::Ok) {
      // The PNG encoder's class identifier.
      const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
      saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
      Gdiplus::DllExports::GdipDisposeImage(image);
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}

}  // namespace grid_test
