// Columns: header items, the widths rows are drawn with, the list's horizontal extent, and the
// header following the list's horizontal scrolling.
#include "vinnet/super_grid_ctrl.h"

#include <algorithm>

#include "comsupport/boundary.h"
#include "grid_row.h"

int CSuperGridCtrl::InsertColumn(int nCol, LPCSTR lpszTitle, int nWidth) {
  HDITEMA item = {};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  item.fmt = HDF_STRING | HDF_LEFT;
  item.pszText = const_cast<LPSTR>(lpszTitle ? lpszTitle : "");
  item.cxy = nWidth;
  return InsertHeaderColumn(nCol, item);
}

int CSuperGridCtrl::InsertColumn(int nCol, int nImage, int nWidth) {
  HDITEMA item = {};
  item.mask = HDI_IMAGE | HDI_WIDTH | HDI_FORMAT;
  item.fmt = HDF_IMAGE | HDF_LEFT;
  item.iImage = nImage;
  item.cxy = nWidth;
  return InsertHeaderColumn(nCol, item);
}

int CSuperGridCtrl::InsertHeaderColumn(int nCol, HDITEMA& item) {
  if (!m_hHeader || nCol < 0 || item.cxy < 0) return -1;
  // Every title is drawn by the grid, so that the sort column can carry its mark.
  item.fmt |= HDF_OWNERDRAW;
  const int count = GetColumnCount();
  const int index = static_cast<int>(
      ::SendMessageA(m_hHeader, HDM_INSERTITEMA, std::min(nCol, count), reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return -1;
  const int rows = GetItemCount();
  for (int row = 0; row < rows; ++row) {
    if (vinnet::grid::GridRow* record = Row(row)) record->InsertColumn(index);
  }
  if (m_nSortCol >= index) ++m_nSortCol;
  ReadColumnWidths();
  RecomputeExtent();
  return index;
}

int CSuperGridCtrl::GetColumnCount() const {
  return m_hHeader ? static_cast<int>(::SendMessageA(m_hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void CSuperGridCtrl::ReadColumnWidths() {
  const int count = GetColumnCount();
  m_columnWidths.assign(static_cast<size_t>(std::max(count, 0)), 0);
  for (int column = 0; column < count; ++column) {
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    if (::SendMessageA(m_hHeader, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
      m_columnWidths[static_cast<size_t>(column)] = item.cxy;
    }
  }
}

void CSuperGridCtrl::RecomputeExtent() {
  if (!m_hList) return;
  int total = 0;
  for (int width : m_columnWidths) total += width;
  ::SendMessageA(m_hList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(total), 0);
  Layout();
  SyncHeaderScroll();
  ::InvalidateRect(m_hList, nullptr, FALSE);
}

void CSuperGridCtrl::SyncHeaderScroll() {
  if (!m_hList) return;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  const int position = (::GetWindowLongA(m_hList, GWL_STYLE) & WS_HSCROLL) && ::GetScrollInfo(m_hList, SB_HORZ, &info)
                           ? info.nPos
                           : 0;
  if (position == m_nHeaderScroll) return;
  m_nHeaderScroll = position;
  Layout();
}

LRESULT CSuperGridCtrl::OnHeaderNotify(const NMHDR& notice) {
  // Wine's header may speak Unicode to an ANSI parent: both forms are taken alike, reading only
  // the fields that sit at the same place in both.
  const auto& header = reinterpret_cast<const NMHEADERA&>(notice);
  switch (notice.code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
      if (header.iButton == 0 && header.iItem >= 0) {
        SetSortCol(header.iItem, header.iItem == m_nSortCol ? !m_bSortAscending : TRUE);
      }
      return 0;
    case HDN_TRACKA:
    case HDN_TRACKW:
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
      if (header.pitem && (header.pitem->mask & HDI_WIDTH) && header.iItem >= 0 &&
          static_cast<size_t>(header.iItem) < m_columnWidths.size()) {
        m_columnWidths[static_cast<size_t>(header.iItem)] = std::max(0, header.pitem->cxy);
        RecomputeExtent();
      }
      return FALSE;  // the change may go ahead
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
      ReadColumnWidths();
      RecomputeExtent();
      return 0;
    default:
      return 0;
  }
}
