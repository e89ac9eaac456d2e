// How a row looks: its height and its drawing in the list's owner-draw request.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "grid_fonts.h"
#include "grid_row.h"

namespace vinnet::grid {

// The list box refuses taller variable rows; a longer summary is cut at the row's bottom.
constexpr int kMaxRowHeight = 255;
// The summary starts this far from the row's left edge and ends this far before the list's right.
constexpr int kSummaryLeft = 50;
constexpr int kSummaryRightMargin = 10;

struct RowLook {
  COLORREF back;
  COLORREF text;
  COLORREF summary;
  COLORREF highlight_back;
  COLORREF highlight_text;
  const GridFonts* fonts;
  HIMAGELIST images;  // may be null: image cells then stay empty
  const std::vector<int>* column_widths;
};

// Height of one line of the list font, which the summary sits below.
int LineHeight(HDC dc, HFONT list_font, const char* sample);

// Measures rows for one list font: a memory device context of its own, and the line height
// worked out once (it depends on the font alone).
class RowMeasure {
 public:
  RowMeasure(HFONT list_font, const GridFonts& fonts);
  ~RowMeasure();
  RowMeasure(const RowMeasure&) = delete;
  RowMeasure& operator=(const RowMeasure&) = delete;

  int LineHeight() const { return line_height_; }
  // Line height plus the word-wrapped summary (unless hidden) plus 4, at most kMaxRowHeight.
  int Height(const GridRow& row, int list_width) const;

 private:
  HDC dc_;
  const GridFonts& fonts_;
  int line_height_ = 0;
};

// Draws row (null for an empty list's focus) into item.rcItem; list_width is the list's client
// width, which the summary's right edge follows.
void DrawRow(const DRAWITEMSTRUCT& item, const GridRow* row, const RowLook& look, HFONT list_font,
             int list_width);

}  // namespace vinnet::grid
