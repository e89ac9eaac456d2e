// What the grid tests share: a top-level parent that records the grid's notifications, message
// pumping, clicks on the real child windows, and reading the drawn pixels back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testing/window_capture.h"
#include "vinnet/super_grid_ctrl.h"

namespace grid_test {

struct Notice {
  UINT code;
  int item;
  UINT key;
  int rows_then;      // the grid's row count when the notice came
  DWORD data_then;    // the item data of the notice's row then (0 without a row)
};

// A visible top-level window at the screen's top left with a grid filling its client area.
class GridHost {
 public:
  explicit GridHost(DWORD grid_style = WS_CHILD | WS_VISIBLE, int width = 520, int height = 320);
  ~GridHost();
  GridHost(const GridHost&) = delete;
  GridHost& operator=(const GridHost&) = delete;

  HWND window() const { return window_; }
  CSuperGridCtrl grid;
  std::vector<Notice> notices;
  std::vector<UINT> Codes() const;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

constexpr UINT kGridId = 77;

void Pump();
// A press and release of the left button at a point of child's client area.
void Click(HWND child, POINT point);
// Clicks the middle of a header item.
void ClickColumnTitle(CSuperGridCtrl& grid, int column);
// Height of one line of the list's font, as the grid measures its rows.
int ListLineHeight(CSuperGridCtrl& grid);

using Capture = testing_support::WindowCapture;

// The rectangle of a list row in the grid window's client coordinates.
RECT RowRect(CSuperGridCtrl& grid, int row);

}  // namespace grid_test
