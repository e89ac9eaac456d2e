// Rows: the records behind the list entries, their cells, summaries, data and heights.
#include "vinnet/super_grid_ctrl.h"

#include <algorithm>
#include <memory>

#include "comsupport/boundary.h"
#include "grid_fonts.h"
#include "grid_row.h"
#include "grid_row_drawing.h"

using vinnet::grid::GridCell;
using vinnet::grid::GridRow;

GridRow* CSuperGridCtrl::Row(int nItem) const {
  if (!m_hList || nItem < 0) return nullptr;
  const LRESULT data = ::SendMessageA(m_hList, LB_GETITEMDATA, static_cast<WPARAM>(nItem), 0);
  if (data == LB_ERR || nItem >= GetItemCount()) return nullptr;
  return reinterpret_cast<GridRow*>(data);
}

int CSuperGridCtrl::GetItemCount() const {
  if (!m_hList) return 0;
  const LRESULT count = ::SendMessageA(m_hList, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

int CSuperGridCtrl::InitStorage(int nItems, UINT nBytes) {
  if (!m_hList || nItems < 0) return LB_ERRSPACE;
  return static_cast<int>(::SendMessageA(m_hList, LB_INITSTORAGE, static_cast<WPARAM>(nItems), nBytes));
}

int CSuperGridCtrl::MeasureRowHeight(const GridRow& row) const {
  RECT client = {};
  ::GetClientRect(m_hList, &client);
  return m_pMeasure ? m_pMeasure->Height(row, client.right) : vinnet::grid::kMaxRowHeight;
}

void CSuperGridCtrl::UpdateRowHeight(int nItem) {
  const GridRow* row = Row(nItem);
  if (!row) return;
  const int height = MeasureRowHeight(*row);
  if (::SendMessageA(m_hList, LB_GETITEMHEIGHT, static_cast<WPARAM>(nItem), 0) == height) return;
  ::SendMessageA(m_hList, LB_SETITEMHEIGHT, static_cast<WPARAM>(nItem), MAKELPARAM(height, 0));
  // The rows below it move.
  RECT rect = {}, client = {};
  ::GetClientRect(m_hList, &client);
  if (::SendMessageA(m_hList, LB_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&rect)) != LB_ERR &&
      rect.top < client.bottom && rect.bottom > client.top) {
    rect.bottom = client.bottom;
    ::InvalidateRect(m_hList, &rect, TRUE);
  }
}

void CSuperGridCtrl::UpdateAllRowHeights() {
  if (!m_hList || !m_pMeasure || m_bMeasuring) return;
  m_bMeasuring = true;
  RECT client = {};
  ::GetClientRect(m_hList, &client);
  m_nMeasuredWidth = client.right;
  // With drawing on, the list would redraw its scroll bar for every row.
  if (m_bRedraw) ::SendMessageA(m_hList, WM_SETREDRAW, FALSE, 0);
  const int count = GetItemCount();
  for (int index = 0; index < count; ++index) {
    if (const GridRow* row = Row(index)) {
      const int height = m_pMeasure->Height(*row, client.right);
      if (::SendMessageA(m_hList, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0) != height) {
        ::SendMessageA(m_hList, LB_SETITEMHEIGHT, static_cast<WPARAM>(index), MAKELPARAM(height, 0));
      }
    }
  }
  if (m_bRedraw) ::SendMessageA(m_hList, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(m_hList, nullptr, TRUE);
  m_bMeasuring = false;
}

int CSuperGridCtrl::InsertRow(int nItem, GridRow* record) {
  std::unique_ptr<GridRow> row(record);
  const int count = GetItemCount();
  if (!m_hList || nItem < -1) return -1;
  if (nItem == -1 || nItem > count) nItem = count;
  // The list measures the new entry through WM_MEASUREITEM, with the row as its data.
  const LRESULT index = ::SendMessageA(m_hList, LB_INSERTSTRING, static_cast<WPARAM>(nItem),
                                       reinterpret_cast<LPARAM>(row.get()));
  if (index == LB_ERR || index == LB_ERRSPACE) return -1;
  row.release();
  return static_cast<int>(index);
}

int CSuperGridCtrl::InsertItem(int nItem, LPCSTR lpszText, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::InsertItem", -1, [&] {
    auto row = std::make_unique<GridRow>();
    GridCell& cell = row->Cell(0);
    cell.text = lpszText ? lpszText : "";
    cell.flags = dwFlags | SGF_TEXT;
    return InsertRow(nItem, row.release());
  });
}

int CSuperGridCtrl::InsertItem(int nItem, int nImage, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::InsertItem", -1, [&] {
    auto row = std::make_unique<GridRow>();
    GridCell& cell = row->Cell(0);
    cell.number = nImage;
    cell.flags = dwFlags | SGF_NUMBER;
    return InsertRow(nItem, row.release());
  });
}

BOOL CSuperGridCtrl::SetItem(int nItem, int nCol, LPCSTR lpszText, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::SetItem", FALSE, [&]() -> BOOL {
    GridRow* row = Row(nItem);
    if (!row || nCol < 0 || nCol >= std::max(1, GetColumnCount())) return FALSE;
    GridCell& cell = row->Cell(nCol);
    cell.text = lpszText ? lpszText : "";
    cell.number = 0;
    cell.flags = dwFlags | SGF_TEXT;
    RedrawItem(nItem);
    return TRUE;
  });
}

BOOL CSuperGridCtrl::SetItem(int nItem, int nCol, int nNumber, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::SetItem", FALSE, [&]() -> BOOL {
    GridRow* row = Row(nItem);
    if (!row || nCol < 0 || nCol >= std::max(1, GetColumnCount())) return FALSE;
    GridCell& cell = row->Cell(nCol);
    cell.text.clear();
    cell.number = nNumber;
    cell.flags = dwFlags | SGF_NUMBER;
    RedrawItem(nItem);
    return TRUE;
  });
}

BOOL CSuperGridCtrl::GetItem(int nItem, int nCol, CString& strText, DWORD& dwFlags) const {
  return comsupport::Boundary("CSuperGridCtrl::GetItem", FALSE, [&]() -> BOOL {
    const GridRow* row = Row(nItem);
    if (!row || nCol < 0 || nCol >= std::max(1, GetColumnCount())) return FALSE;
    const GridCell* cell = row->FindCell(nCol);
    strText = cell ? cell->text : CString();
    dwFlags = cell ? cell->flags : 0;
    return TRUE;
  });
}

BOOL CSuperGridCtrl::GetItem(int nItem, int nCol, int& nNumber, DWORD& dwFlags) const {
  const GridRow* row = Row(nItem);
  if (!row || nCol < 0 || nCol >= std::max(1, GetColumnCount())) return FALSE;
  const GridCell* cell = row->FindCell(nCol);
  nNumber = cell ? cell->number : 0;
  dwFlags = cell ? cell->flags : 0;
  return TRUE;
}

BOOL CSuperGridCtrl::SetItemFlags(int nItem, int nCol, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::SetItemFlags", FALSE, [&]() -> BOOL {
    GridRow* row = Row(nItem);
    if (!row || nCol < 0 || nCol >= std::max(1, GetColumnCount())) return FALSE;
    row->Cell(nCol).flags = dwFlags;
    RedrawItem(nItem);
    return TRUE;
  });
}

DWORD CSuperGridCtrl::GetItemFlags(int nItem, int nCol) const {
  const GridRow* row = Row(nItem);
  const GridCell* cell = row ? row->FindCell(nCol) : nullptr;
  return cell ? cell->flags : 0;
}

BOOL CSuperGridCtrl::SetSummary(int nItem, LPCSTR lpszText, DWORD dwFlags) {
  return comsupport::Boundary("CSuperGridCtrl::SetSummary", FALSE, [&]() -> BOOL {
    GridRow* row = Row(nItem);
    if (!row) return FALSE;
    row->summary = lpszText ? lpszText : "";
    row->summary_flags = dwFlags;
    UpdateRowHeight(nItem);
    return TRUE;
  });
}

BOOL CSuperGridCtrl::GetSummary(int nItem, CString& strText) const {
  return comsupport::Boundary("CSuperGridCtrl::GetSummary", FALSE, [&]() -> BOOL {
    const GridRow* row = Row(nItem);
    if (!row) return FALSE;
    strText = row->summary;
    return TRUE;
  });
}

BOOL CSuperGridCtrl::SetSummaryFlags(int nItem, DWORD dwFlags) {
  GridRow* row = Row(nItem);
  if (!row) return FALSE;
  row->summary_flags = dwFlags;
  UpdateRowHeight(nItem);
  return TRUE;
}

DWORD CSuperGridCtrl::GetSummaryFlags(int nItem) const {
  const GridRow* row = Row(nItem);
  return row ? row->summary_flags : 0;
}

BOOL CSuperGridCtrl::SetItemData(int nItem, DWORD dwData) {
  GridRow* row = Row(nItem);
  if (!row) return FALSE;
  row->data = dwData;
  return TRUE;
}

DWORD CSuperGridCtrl::GetItemData(int nItem) const {
  const GridRow* row = Row(nItem);
  return row ? row->data : 0;
}

BOOL CSuperGridCtrl::DeleteItem(int nItem) {
  const GridRow* row = Row(nItem);
  if (!row) return FALSE;
  Notify(SGN_DELETEITEM, nItem);
  // The parent may have changed the rows while it was told.
  if (Row(nItem) != row) return FALSE;
  // The list reports the entry through WM_DELETEITEM, which frees the row.
  return ::SendMessageA(m_hList, LB_DELETESTRING, static_cast<WPARAM>(nItem), 0) != LB_ERR;
}

void CSuperGridCtrl::DeleteAllItems() {
  const int count = GetItemCount();
  for (int index = 0; index < count && index < GetItemCount(); ++index) Notify(SGN_DELETEITEM, index);
  if (m_hList) ::SendMessageA(m_hList, LB_RESETCONTENT, 0, 0);
}

void CSuperGridCtrl::RedrawItem(int nItem) {
  RECT rect = {}, client = {};
  if (!m_hList) return;
  ::GetClientRect(m_hList, &client);
  if (::SendMessageA(m_hList, LB_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&rect)) != LB_ERR &&
      rect.top < client.bottom && rect.bottom > client.top) {
    ::InvalidateRect(m_hList, &rect, FALSE);
  }
}
