// Selection, in the list's own terms: extended selection, or one row in a single-selection grid.
#include "vinnet/super_grid_ctrl.h"

#include <unordered_set>

#include "comsupport/boundary.h"
#include "grid_row.h"

using vinnet::grid::GridRow;

int CSuperGridCtrl::GetSelectedCount() const {
  if (!m_hList) return 0;
  if (m_bSingleSelection) return ::SendMessageA(m_hList, LB_GETCURSEL, 0, 0) == LB_ERR ? 0 : 1;
  const LRESULT count = ::SendMessageA(m_hList, LB_GETSELCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

void CSuperGridCtrl::GetSelectedItems(CDWordArray& items) const {
  comsupport::Boundary("CSuperGridCtrl::GetSelectedItems", 0, [&] {
    items.RemoveAll();
    if (!m_hList) return 0;
    if (m_bSingleSelection) {
      const LRESULT selected = ::SendMessageA(m_hList, LB_GETCURSEL, 0, 0);
      if (selected != LB_ERR) items.Add(static_cast<DWORD>(selected));
      return 0;
    }
    const int count = GetSelectedCount();
    if (count <= 0) return 0;
    std::vector<int> selected(static_cast<size_t>(count));
    const LRESULT got = ::SendMessageA(m_hList, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                       reinterpret_cast<LPARAM>(selected.data()));
    for (LRESULT index = 0; index < got; ++index) items.Add(static_cast<DWORD>(selected[static_cast<size_t>(index)]));
    return 0;
  });
}

BOOL CSuperGridCtrl::SetSelectedItem(int nItem) {
  if (!m_hList || nItem < -1 || nItem >= GetItemCount()) return FALSE;
  if (m_bSingleSelection) {
    // -1 leaves a single-selection list with no selection.
    ::SendMessageA(m_hList, LB_SETCURSEL, static_cast<WPARAM>(nItem), 0);
    return TRUE;
  }
  if (nItem == -1) {
    ::SendMessageA(m_hList, LB_SETSEL, TRUE, -1);
    return TRUE;
  }
  ::SendMessageA(m_hList, LB_SETSEL, FALSE, -1);
  ::SendMessageA(m_hList, LB_SETSEL, TRUE, nItem);
  ::SendMessageA(m_hList, LB_SETCARETINDEX, static_cast<WPARAM>(nItem), FALSE);
  return TRUE;
}

BOOL CSuperGridCtrl::SetSelectedItems(const CDWordArray& items) {
  if (!m_hList) return FALSE;
  const DWORD count = static_cast<DWORD>(GetItemCount());
  // Checked whole first: a bad index changes nothing.
  for (DWORD item : items) {
    if (item >= count) return FALSE;
  }
  if (m_bSingleSelection) {
    if (items.GetSize() > 1) return FALSE;
    ::SendMessageA(m_hList, LB_SETCURSEL, items.IsEmpty() ? static_cast<WPARAM>(-1) : items[0], 0);
    return TRUE;
  }
  ::SendMessageA(m_hList, LB_SETSEL, FALSE, -1);
  for (DWORD item : items) ::SendMessageA(m_hList, LB_SETSEL, TRUE, item);
  if (!items.IsEmpty()) ::SendMessageA(m_hList, LB_SETCARETINDEX, items[0], FALSE);
  return TRUE;
}

void CSuperGridCtrl::SelectionOfRows(std::vector<GridRow*>& rows, GridRow*& caret) const {
  CDWordArray selected;
  GetSelectedItems(selected);
  rows.clear();
  for (DWORD index : selected) rows.push_back(Row(static_cast<int>(index)));
  const LRESULT caret_index = ::SendMessageA(m_hList, LB_GETCARETINDEX, 0, 0);
  caret = caret_index == LB_ERR ? nullptr : Row(static_cast<int>(caret_index));
}

void CSuperGridCtrl::RestoreSelection(const std::vector<GridRow*>& rows, GridRow* caret) {
  const std::unordered_set<GridRow*> wanted(rows.begin(), rows.end());
  const int count = GetItemCount();
  if (m_bSingleSelection) {
    int selected = -1;
    for (int index = 0; index < count && selected < 0; ++index) {
      if (wanted.count(Row(index))) selected = index;
    }
    ::SendMessageA(m_hList, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return;
  }
  const LRESULT top = ::SendMessageA(m_hList, LB_GETTOPINDEX, 0, 0);
  ::SendMessageA(m_hList, LB_SETSEL, FALSE, -1);
  for (int index = 0; index < count; ++index) {
    GridRow* row = Row(index);
    if (wanted.count(row)) ::SendMessageA(m_hList, LB_SETSEL, TRUE, index);
    if (row == caret) ::SendMessageA(m_hList, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  }
  // Moving the caret may scroll; the view stays where the user left it.
  if (top != LB_ERR) ::SendMessageA(m_hList, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}
