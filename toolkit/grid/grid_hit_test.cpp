// Which row, column and part of a row lies under a point of the grid window.
#include "vinnet/super_grid_ctrl.h"

#include "grid_row.h"
#include "grid_row_drawing.h"

BOOL CSuperGridCtrl::HitTest(POINT point, int& nItem, int& nCol, UINT& nFlags) const {
  nItem = -1;
  nCol = -1;
  nFlags = SGHT_NOWHERE;
  if (!m_hList || !m_hHeader) return FALSE;

  POINT in_header = point;
  ::MapWindowPoints(m_hWnd, m_hHeader, &in_header, 1);
  RECT header_client = {};
  ::GetClientRect(m_hHeader, &header_client);
  if (::PtInRect(&header_client, in_header)) {
    HDHITTESTINFO info = {};
    info.pt = in_header;
    nCol = static_cast<int>(::SendMessageA(m_hHeader, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    nFlags = SGHT_ONHEADER;
    return FALSE;
  }

  POINT in_list = point;
  ::MapWindowPoints(m_hWnd, m_hList, &in_list, 1);
  RECT list_client = {};
  ::GetClientRect(m_hList, &list_client);
  if (!::PtInRect(&list_client, in_list)) return FALSE;

  // Walked from the top row: index lookups by point are 16-bit in the list's own protocol.
  const int count = GetItemCount();
  const LRESULT top = ::SendMessageA(m_hList, LB_GETTOPINDEX, 0, 0);
  for (int index = top == LB_ERR ? 0 : static_cast<int>(top); index < count; ++index) {
    RECT row_rect = {};
    if (::SendMessageA(m_hList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row_rect)) == LB_ERR ||
        row_rect.top > in_list.y) {
      break;
    }
    if (in_list.y >= row_rect.bottom) continue;
    nItem = index;
    nFlags = 0;
    // Cells span the row's whole height; the summary lies below the first line.
    int left = row_rect.left;
    for (size_t column = 0; column < m_columnWidths.size(); ++column) {
      const int right = left + m_columnWidths[column];
      if (in_list.x >= left && in_list.x < right) {
        nCol = static_cast<int>(column);
        break;
      }
      left = right;
    }
    nFlags |= nCol >= 0 ? SGHT_ONCELL : SGHT_RIGHT;
    const vinnet::grid::GridRow* row = Row(index);
    if (row && !(row->summary_flags & SGF_HIDESUMMARY) && !row->summary.empty()) {
      HDC dc = ::GetDC(m_hList);
      const int line = dc ? vinnet::grid::LineHeight(dc, reinterpret_cast<HFONT>(::SendMessageA(m_hList, WM_GETFONT, 0, 0)),
                                                     "Blah blah blah")
                          : 0;
      if (dc) ::ReleaseDC(m_hList, dc);
      if (in_list.y >= row_rect.top + line) nFlags |= SGHT_ONSUMMARY;
    }
    return TRUE;
  }
  return FALSE;
}
