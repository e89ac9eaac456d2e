#include "grid_header_drawing.h"

#include <algorithm>

#include "comsupport/unique_handle.h"
#include "grid_fonts.h"

namespace vinnet::grid {
namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

UINT AlignmentOf(int format) {
  switch (format & HDF_JUSTIFYMASK) {
    case HDF_CENTER: return DT_CENTER;
    case HDF_RIGHT: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

}  // namespace

void DrawSortMark(HDC dc, int left, int middle, bool ascending) {
  // Seven wide, four high: apex in the middle column.
  const int right = left + kSortMarkWidth - 1;
  const int apex_x = left + kSortMarkWidth / 2;
  UniqueGdiObject light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
  UniqueGdiObject shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
  SelectedObject pen(dc, shadow.get());
  if (ascending) {
    const int top = middle - 2, bottom = middle + 2;
    // Light from the top left: the left slope in shadow, the right slope and base lit.
    Line(dc, apex_x, top, left, bottom);
    ::SelectObject(dc, light.get());
    Line(dc, apex_x, top, right + 1, bottom + 1);
    Line(dc, left, bottom, right + 1, bottom);
  } else {
    const int top = middle - 2, bottom = middle + 2;
    Line(dc, left, top, right + 1, top);
    Line(dc, left, top, apex_x, bottom + 1);
    ::SelectObject(dc, light.get());
    Line(dc, right, top, apex_x, bottom + 1);
  }
}

void DrawHeaderItem(const DRAWITEMSTRUCT& item, HIMAGELIST images, bool sort_mark, bool ascending) {
  HWND header = item.hwndItem;
  HDC dc = item.hDC;
  char title[260] = "";
  HDITEMA info = {};
  info.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  info.pszText = title;
  info.cchTextMax = sizeof title;
  if (!::SendMessageA(header, HDM_GETITEMA, item.itemID, reinterpret_cast<LPARAM>(&info))) return;

  RECT area = item.rcItem;
  if (item.itemState & ODS_SELECTED) ::OffsetRect(&area, 1, 1);  // a pressed title moves with the button

  SIZE blank = {};
  ::GetTextExtentPoint32A(dc, " ", 1, &blank);
  const int inset = title[0] ? 2 * blank.cx : 2;
  area.left += inset;
  area.right -= inset;

  const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF previous_text = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  const int middle = (area.top + area.bottom) / 2;

  if ((info.fmt & HDF_IMAGE) && images && info.iImage >= 0) {
    int width = 0, height = 0;
    ::ImageList_GetIconSize(images, &width, &height);
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, area.left, item.rcItem.top, std::max(area.left, area.right), item.rcItem.bottom);
    ::ImageList_Draw(images, info.iImage, dc, area.left, middle - height / 2, ILD_TRANSPARENT);
    ::RestoreDC(dc, saved);
    area.left += width + (title[0] ? blank.cx : 0);
  }

  // The mark keeps its place; the title gives way to it.
  RECT text = area;
  if (sort_mark) text.right -= kSortMarkWidth + 2 * blank.cx;
  int text_right = text.left;
  if (title[0] && text.right > text.left) {
    RECT measured = text;
    ::DrawTextA(dc, title, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const UINT align = AlignmentOf(info.fmt);
    ::DrawTextA(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | align);
    const int width = std::min<int>(measured.right - measured.left, text.right - text.left);
    if (align == DT_RIGHT) text_right = text.right;
    else if (align == DT_CENTER) text_right = (text.left + text.right + width) / 2;
    else text_right = text.left + width;
  }
  if (sort_mark) {
    const int left = std::min<int>(text_right + blank.cx, area.right - kSortMarkWidth);
    if (left >= item.rcItem.left + 2) DrawSortMark(dc, left, middle, ascending);
  }

  ::SetTextColor(dc, previous_text);
  ::SetBkMode(dc, previous_mode);
}

}  // namespace vinnet::grid
