// Holds the grid's drawing back while many rows change, so it repaints once afterwards.
#pragma once

#include <windows.h>

class RedrawOff {
 public:
  explicit RedrawOff(HWND grid) : grid_(grid) { ::SendMessageA(grid_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawOff() { ::SendMessageA(grid_, WM_SETREDRAW, TRUE, 0); }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  HWND grid_;
};
