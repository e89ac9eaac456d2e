#include "grid_row_drawing.h"

#include <algorithm>

#include "vinnet/super_grid_ctrl.h"

namespace vinnet::grid {
namespace {

const char kHeightSample[] = "Blah blah blah yg";
const char kSummaryOffsetSample[] = "Blah blah blah";

int SummaryHeight(HDC dc, const GridFonts& fonts, const GridRow& row, int list_width) {
  if ((row.summary_flags & SGF_HIDESUMMARY) || row.summary.empty()) return 0;
  SelectedObject font(dc, fonts.ForFlags(row.summary_flags));
  RECT area = {kSummaryLeft, 0, std::max(kSummaryLeft + 1, list_width - kSummaryRightMargin), 0};
  ::DrawTextA(dc, row.summary.c_str(), static_cast<int>(row.summary.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return area.bottom - area.top;
}

int BlankWidth(HDC dc) {
  SIZE size = {};
  ::GetTextExtentPoint32A(dc, " ", 1, &size);
  return size.cx;
}

void DrawCell(HDC dc, const GridCell& cell, const RECT& cell_rect, bool selected, const RowLook& look) {
  RECT inner = cell_rect;
  if (cell.flags & SGF_NUMBER) {
    if (!look.images) return;
    inner.left += 2;
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, cell_rect.left, cell_rect.top, cell_rect.right, cell_rect.bottom);
    ::ImageList_Draw(look.images, cell.number, dc, inner.left, inner.top, ILD_TRANSPARENT);
    ::RestoreDC(dc, saved);
    return;
  }
  SelectedObject font(dc, look.fonts->ForFlags(cell.flags));
  const int inset = 2 * BlankWidth(dc);
  inner.left += inset;
  inner.right -= inset;
  if (inner.right <= inner.left) return;
  ::SetTextColor(dc, selected ? look.highlight_text : look.text);
  ::DrawTextA(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &inner,
              DT_SINGLELINE | DT_TOP | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

int LineHeight(HDC dc, HFONT list_font, const char* sample) {
  SelectedObject font(dc, list_font);
  RECT area = {0, 0, 0, 0};
  ::DrawTextA(dc, sample, -1, &area, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return area.bottom - area.top;
}

RowMeasure::RowMeasure(HFONT list_font, const GridFonts& fonts) : dc_(::CreateCompatibleDC(nullptr)), fonts_(fonts) {
  if (dc_) line_height_ = vinnet::grid::LineHeight(dc_, list_font, kHeightSample);
}

RowMeasure::~RowMeasure() {
  if (dc_) ::DeleteDC(dc_);
}

int RowMeasure::Height(const GridRow& row, int list_width) const {
  if (!dc_) return kMaxRowHeight;
  return std::min(line_height_ + SummaryHeight(dc_, fonts_, row, list_width) + 4, kMaxRowHeight);
}

void DrawRow(const DRAWITEMSTRUCT& item, const GridRow* row, const RowLook& look, HFONT list_font,
             int list_width) {
  HDC dc = item.hDC;
  const RECT& rect = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF previous_text = ::GetTextColor(dc);

  const COLORREF fill = selected && row ? look.highlight_back : look.back;
  const COLORREF previous_back = ::SetBkColor(dc, fill);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, previous_back);

  if (row) {
    RECT cell_rect = rect;
    cell_rect.right = cell_rect.left;
    for (size_t column = 0; column < look.column_widths->size(); ++column) {
      cell_rect.left = cell_rect.right;
      cell_rect.right = cell_rect.left + (*look.column_widths)[column];
      const GridCell* cell = row->FindCell(static_cast<int>(column));
      if (cell) DrawCell(dc, *cell, cell_rect, selected, look);
    }
    if (!(row->summary_flags & SGF_HIDESUMMARY) && !row->summary.empty()) {
      RECT summary = {rect.left + kSummaryLeft, rect.top + LineHeight(dc, list_font, kSummaryOffsetSample),
                      list_width - kSummaryRightMargin, rect.bottom};
      SelectedObject font(dc, look.fonts->ForFlags(row->summary_flags));
      ::SetTextColor(dc, selected ? look.highlight_text : look.summary);
      ::DrawTextA(dc, row->summary.c_str(), static_cast<int>(row->summary.size()), &summary,
                  DT_WORDBREAK | DT_NOPREFIX);
    }
  }
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rect);

  ::SetTextColor(dc, previous_text);
  ::SetBkMode(dc, previous_mode);
}

}  // namespace vinnet::grid
