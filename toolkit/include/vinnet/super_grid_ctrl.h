// CSuperGridCtrl: the toolkit's multi-column list window. A header of clickable column titles
// sits above an owner-drawn list whose rows each show one line of cells and, below it, an
// optional word-wrapped summary. The grid owns its rows; callers keep a 32-bit value per row.
// Clicks, keys, selection changes and row deletions reach the parent as WM_NOTIFY.
//
// One thread: every member must be called on the thread that created the window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

// Cell flags. Text cells always carry SGF_TEXT, image cells SGF_NUMBER (drawn as an image from
// the grid's image list, compared as numbers when sorting). The font flags apply to cells and
// summaries alike; SGF_HIDESUMMARY applies to summaries.
#define SGF_TEXT 0x0001
#define SGF_NUMBER 0x0002
#define SGF_BOLD 0x0010
#define SGF_ITALIC 0x0020
#define SGF_HIDESUMMARY 0x0100

// Notification codes besides NM_CLICK, NM_DBLCLK and NM_RCLICK (whose item is -1).
#define SGN_DELETEITEM 0x64  // iItem is about to be deleted; it is still in the grid
#define SGN_SELCHANGE 0x65   // the selection changed (iItem -1)
#define SGN_KEYDOWN 0x66     // a key went down in the list: iItem the caret row, nVKey the key

// What every grid notification carries; nVKey is 0 except for SGN_KEYDOWN.
struct SGNOTIFY {
  NMHDR hdr;
  int iItem;
  UINT nVKey;
};

// HitTest flags.
#define SGHT_NOWHERE 0x0001    // not over a row
#define SGHT_ONCELL 0x0002     // over a cell of the row's first line
#define SGHT_ONSUMMARY 0x0004  // over the row's summary area
#define SGHT_ONHEADER 0x0008   // over the header
#define SGHT_RIGHT 0x0010      // over a row, right of its last column

namespace vinnet::grid {
struct GridRow;
class GridFonts;
class RowMeasure;
}

class VINNET_API CSuperGridCtrl {
 public:
  CSuperGridCtrl();
  virtual ~CSuperGridCtrl();
  CSuperGridCtrl(const CSuperGridCtrl&) = delete;
  CSuperGridCtrl& operator=(const CSuperGridCtrl&) = delete;

  // Style bit 0 asks for single selection; it is not part of the window's own style.
  BOOL Create(DWORD dwStyle, const RECT& rect, HWND hParent, UINT nID);
  HWND GetSafeHwnd() const { return m_hWnd; }
  HWND GetHeaderCtrl() const { return m_hHeader; }
  HWND GetListBox() const { return m_hList; }
  // Reserves list storage ahead of a large fill; LB_ERRSPACE when that fails.
  int InitStorage(int nItems, UINT nBytes);

  // Columns: a text title or an image (from the grid's image list) as title. Index or -1.
  int InsertColumn(int nCol, LPCSTR lpszTitle, int nWidth);
  int InsertColumn(int nCol, int nImage, int nWidth);
  int GetColumnCount() const;

  // Rows. InsertItem gives the index of the new row, or -1.
  int InsertItem(int nItem, LPCSTR lpszText, DWORD dwFlags);
  int InsertItem(int nItem, int nImage, DWORD dwFlags);
  BOOL SetItem(int nItem, int nCol, LPCSTR lpszText, DWORD dwFlags);
  BOOL SetItem(int nItem, int nCol, int nNumber, DWORD dwFlags);
  BOOL GetItem(int nItem, int nCol, CString& strText, DWORD& dwFlags) const;
  BOOL GetItem(int nItem, int nCol, int& nNumber, DWORD& dwFlags) const;
  BOOL SetItemFlags(int nItem, int nCol, DWORD dwFlags);
  DWORD GetItemFlags(int nItem, int nCol) const;
  BOOL SetSummary(int nItem, LPCSTR lpszText, DWORD dwFlags);
  BOOL GetSummary(int nItem, CString& strText) const;
  BOOL SetSummaryFlags(int nItem, DWORD dwFlags);
  DWORD GetSummaryFlags(int nItem) const;
  BOOL SetItemData(int nItem, DWORD dwData);
  DWORD GetItemData(int nItem) const;
  int GetItemCount() const;
  BOOL DeleteItem(int nItem);
  void DeleteAllItems();
  void RedrawItem(int nItem);

  // Selection. SetSelectedItem(-1) selects every row (none in a single-selection grid).
  int GetSelectedCount() const;
  void GetSelectedItems(CDWordArray& items) const;
  BOOL SetSelectedItem(int nItem);
  BOOL SetSelectedItems(const CDWordArray& items);

  // Sorting: SetSortCol sorts at once; -1 leaves the rows in their order.
  void SetSortCol(int nCol, BOOL bAscending);
  int GetSortCol() const { return m_nSortCol; }
  BOOL GetSortAscending() const { return m_bSortAscending; }
  void SortItems();

  void SetBackColor(COLORREF color);
  COLORREF GetBackColor() const { return m_crBack; }
  void SetForeColor(COLORREF color);
  COLORREF GetForeColor() const { return m_crText; }
  void SetSummaryColor(COLORREF color);
  COLORREF GetSummaryColor() const { return m_crSummary; }
  void SetHighlightBackColor(COLORREF color);
  COLORREF GetHighlightBackColor() const { return m_crHighlightBack; }
  void SetHighlightForeColor(COLORREF color);
  COLORREF GetHighlightForeColor() const { return m_crHighlightText; }
  // The caller keeps the image list alive as long as the grid uses it.
  void SetImageList(HIMAGELIST hImageList);
  HIMAGELIST GetImageList() const { return m_hImageList; }

  // point is in the grid window's client coordinates. TRUE when it lies over a row; nCol is -1
  // unless it lies over a cell of the row's first line.
  BOOL HitTest(POINT point, int& nItem, int& nCol, UINT& nFlags) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnCreate();
  void OnDestroy();
  void Layout();
  LRESULT OnHeaderNotify(const NMHDR& header);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnMeasureItem(MEASUREITEMSTRUCT& item);
  int InsertHeaderColumn(int nCol, HDITEMA& item);
  void SyncHeaderScroll();
  void RecomputeExtent();
  void ReadColumnWidths();
  void Notify(int code, int item, UINT key = 0);

  vinnet::grid::GridRow* Row(int nItem) const;
  int MeasureRowHeight(const vinnet::grid::GridRow& row) const;
  void UpdateRowHeight(int nItem);
  void UpdateAllRowHeights();
  int InsertRow(int nItem, vinnet::grid::GridRow* row);
  void SelectionOfRows(std::vector<vinnet::grid::GridRow*>& rows, vinnet::grid::GridRow*& caret) const;
  void RestoreSelection(const std::vector<vinnet::grid::GridRow*>& rows, vinnet::grid::GridRow* caret);

  HWND m_hWnd = nullptr;
  HWND m_hHeader = nullptr;
  HWND m_hList = nullptr;
  WNDPROC m_pfnListProc = nullptr;  // the list box's own procedure, which ours passes messages to
  bool m_bSingleSelection = false;
  int m_nSortCol = -1;
  BOOL m_bSortAscending = TRUE;
  HIMAGELIST m_hImageList = nullptr;
  COLORREF m_crBack;
  COLORREF m_crText;
  COLORREF m_crSummary;
  COLORREF m_crHighlightBack;
  COLORREF m_crHighlightText;
  HBRUSH m_hBackBrush = nullptr;
  vinnet::grid::GridFonts* m_pFonts = nullptr;
  vinnet::grid::RowMeasure* m_pMeasure = nullptr;
  std::vector<int> m_columnWidths;  // as drawn; ahead of the header while a divider moves
  int m_nHeaderScroll = 0;          // the list's horizontal scroll position the header follows
  int m_nMeasuredWidth = 0;         // list client width the row heights were measured for
  bool m_bMeasuring = false;
  bool m_bRemeasurePending = false;
  bool m_bRedraw = true;  // as the parent last set it with WM_SETREDRAW
  static constexpr UINT kRemeasureMessage = WM_USER + 0x100;  // private to the grid class
};
