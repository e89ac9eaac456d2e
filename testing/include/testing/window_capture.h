// A picture of what a window (or a part of the screen) shows, read back as 32-bit pixels: for
// drawing checks and for saving pictures as PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class WindowCapture {
 public:
  // The window's client area as drawn, after UpdateWindow.
  explicit WindowCapture(HWND window);
  // A rectangle of the screen as shown (popup menus included).
  explicit WindowCapture(const RECT& screen_area);
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const;
  // Pixels of exactly colour inside rect (client coordinates of the captured window).
  int Count(COLORREF colour, const RECT& rect) const;
  // As a PNG file through GDI+; false when that cannot be done here.
  bool SavePng(const std::wstring& path) const;

 private:
  void Read(HDC source, int x, int y);

  int width_ = 0;
  int height_ = 0;
  std::vector<DWORD> pixels_;  // top-down, 0x00RRGGBB
};

}  // namespace testing_support
