#include "grid_sort.h"

#include <algorithm>

#include "comsupport/boundary.h"

#include "vinnet/super_grid_ctrl.h"

namespace vinnet::grid {

int CompareRows(const GridRow& a, const GridRow& b, int column) {
  const GridCell* first = a.FindCell(column);
  const GridCell* second = b.FindCell(column);
  const bool first_number = first && (first->flags & SGF_NUMBER);
  const bool second_number = second && (second->flags & SGF_NUMBER);
  if (first_number && second_number) {
    // Compared, not subtracted: a difference of two large numbers would overflow.
    return first->number < second->number ? -1 : first->number > second->number ? 1 : 0;
  }
  if (first_number != second_number) return first_number ? -1 : 1;
  return ::lstrcmpiA(first ? first->text.c_str() : "", second ? second->text.c_str() : "");
}

void SortRows(std::vector<GridRow*>& rows, int column, bool ascending) {
  std::stable_sort(rows.begin(), rows.end(), [column, ascending](const GridRow* a, const GridRow* b) {
    return ascending ? CompareRows(*a, *b, column) < 0 : CompareRows(*b, *a, column) < 0;
  });
}

}  // namespace vinnet::grid

void CSuperGridCtrl::SetSortCol(int nCol, BOOL bAscending) {
  if (nCol < -1 || nCol >= GetColumnCount()) return;
  m_nSortCol = nCol;
  m_bSortAscending = bAscending ? TRUE : FALSE;
  if (nCol >= 0) {
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (::SendMessageA(m_hHeader, HDM_GETITEMA, nCol, reinterpret_cast<LPARAM>(&item)) && !(item.fmt & HDF_OWNERDRAW)) {
      item.fmt |= HDF_OWNERDRAW;
      ::SendMessageA(m_hHeader, HDM_SETITEMA, nCol, reinterpret_cast<LPARAM>(&item));
    }
  }
  if (m_hHeader) ::InvalidateRect(m_hHeader, nullptr, TRUE);
  SortItems();
}

void CSuperGridCtrl::SortItems() {
  comsupport::Boundary("CSuperGridCtrl::SortItems", 0, [&] {
    const int count = GetItemCount();
    if (m_nSortCol < 0 || count < 2) return 0;
    // The selection belongs to the rows, not to the places they held.
    std::vector<vinnet::grid::GridRow*> selected;
    vinnet::grid::GridRow* caret = nullptr;
    SelectionOfRows(selected, caret);
    std::vector<vinnet::grid::GridRow*> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
      vinnet::grid::GridRow* row = Row(index);
      if (!row) return 0;
      rows.push_back(row);
    }
    vinnet::grid::SortRows(rows, m_nSortCol, m_bSortAscending != FALSE);
    for (int index = 0; index < count; ++index) {
      ::SendMessageA(m_hList, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rows[static_cast<size_t>(index)]));
    }
    RestoreSelection(selected, caret);
    UpdateAllRowHeights();
    return 0;
  });
}
