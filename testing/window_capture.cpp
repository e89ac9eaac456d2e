#include "testing/window_capture.h"

#include <gdiplus.h>

namespace testing_support {

WindowCapture::WindowCapture(HWND window) {
  ::UpdateWindow(window);
  RECT client = {};
  ::GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  HDC window_dc = ::GetDC(window);
  Read(window_dc, 0, 0);
  ::ReleaseDC(window, window_dc);
}

WindowCapture::WindowCapture(const RECT& screen_area) {
  width_ = screen_area.right - screen_area.left;
  height_ = screen_area.bottom - screen_area.top;
  HDC screen = ::GetDC(nullptr);
  Read(screen, screen_area.left, screen_area.top);
  ::ReleaseDC(nullptr, screen);
}

void WindowCapture::Read(HDC window_dc, int x, int y) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(window_dc);
  HBITMAP bitmap = ::CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && memory) {
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width_, height_, window_dc, x, y, SRCCOPY);
    ::GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels_.assign(first, first + static_cast<size_t>(width_) * height_);
    ::SelectObject(memory, previous);
  }
  if (bitmap) ::DeleteObject(bitmap);
  if (memory) ::DeleteDC(memory);
}

COLORREF WindowCapture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
  const DWORD pixel = pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int WindowCapture::Count(COLORREF colour, const RECT& rect) const {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (At(x, y) == colour) ++count;
    }
  }
  return count;
}

bool WindowCapture::SavePng(const std::wstring& path) const {
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

}  // namespace testing_support
