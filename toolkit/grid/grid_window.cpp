// The grid window itself: its class, creation of the header and list, layout, colours, and the
// messages its children send it.
#include "vinnet/super_grid_ctrl.h"

#include <algorithm>

#include "comsupport/boundary.h"
#include "grid_fonts.h"
#include "grid_header_drawing.h"
#include "grid_row.h"
#include "grid_row_drawing.h"

using vinnet::grid::GridRow;

namespace {

const char kClassName[] = "VinnetSuperGrid";
constexpr UINT kHeaderId = 1;
constexpr UINT kListId = 2;
constexpr DWORD kHeaderStyle = 0x56000002;
constexpr DWORD kListStyle = 0x56300D21;
constexpr DWORD kSingleSelectionListStyle = 0x56300521;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

}  // namespace

CSuperGridCtrl::CSuperGridCtrl()
    : m_crBack(::GetSysColor(COLOR_WINDOW)),
      m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crSummary(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crHighlightBack(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crHighlightText(::GetSysColor(COLOR_HIGHLIGHTTEXT)) {}

CSuperGridCtrl::~CSuperGridCtrl() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
  delete m_pMeasure;
  delete m_pFonts;
}

BOOL CSuperGridCtrl::Create(DWORD dwStyle, const RECT& rect, HWND hParent, UINT nID) {
  return comsupport::Boundary("CSuperGridCtrl::Create", FALSE, [&]() -> BOOL {
    if (m_hWnd) return FALSE;
    HINSTANCE instance = ThisModule();
    WNDCLASSEXA known = {};
    known.cbSize = sizeof known;
    // A class left behind by an earlier load of this module points at code that is gone.
    if (::GetClassInfoExA(instance, kClassName, &known) && known.lpfnWndProc != &CSuperGridCtrl::WindowProc) {
      ::UnregisterClassA(kClassName, instance);
    }
    if (!::GetClassInfoExA(instance, kClassName, &known)) {
      WNDCLASSEXA window_class = {};
      window_class.cbSize = sizeof window_class;
      window_class.lpfnWndProc = &CSuperGridCtrl::WindowProc;
      window_class.hInstance = instance;
      window_class.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
      window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      window_class.lpszClassName = kClassName;
      if (!::RegisterClassExA(&window_class) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return FALSE;
    }
    m_bSingleSelection = (dwStyle & 1) != 0;
    HWND window = ::CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "", dwStyle & ~1u, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, hParent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), instance, this);
    return window != nullptr;
  });
}

LRESULT CALLBACK CSuperGridCtrl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* grid = static_cast<CSuperGridCtrl*>(create->lpCreateParams);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
    if (grid) grid->m_hWnd = hwnd;
  }
  auto* grid = reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!grid) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    grid->m_hWnd = grid->m_hHeader = grid->m_hList = nullptr;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return comsupport::Boundary("CSuperGridCtrl window", LRESULT(0),
                              [&] { return grid->OnMessage(message, wParam, lParam); });
}

LRESULT CSuperGridCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      if (m_hList) ::SetFocus(m_hList);
      return 0;
    case WM_SETREDRAW:
      // Callers turn drawing off around large fills: the list is what draws.
      m_bRedraw = wParam != 0;
      if (m_hList) ::SendMessageA(m_hList, WM_SETREDRAW, wParam, 0);
      if (m_hHeader) ::SendMessageA(m_hHeader, WM_SETREDRAW, wParam, 0);
      if (wParam && m_hList) ::InvalidateRect(m_hList, nullptr, TRUE);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->hwndFrom == m_hHeader) return OnHeaderNotify(*header);
      return 0;
    }
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == m_hList && m_hList) {
        if (HIWORD(wParam) == LBN_SELCHANGE) Notify(SGN_SELCHANGE, -1);
        else if (HIWORD(wParam) == LBN_DBLCLK) Notify(NM_DBLCLK, -1);
      }
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_MEASUREITEM:
      OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DELETEITEM: {
      // The list tells of every entry it drops: that is where a row's record ends.
      const auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_LISTBOX) delete reinterpret_cast<GridRow*>(item->itemData);
      return TRUE;
    }
    case WM_VKEYTOITEM: {
      const LRESULT caret = ::SendMessageA(m_hList, LB_GETCARETINDEX, 0, 0);
      Notify(SGN_KEYDOWN, caret == LB_ERR ? -1 : static_cast<int>(caret), LOWORD(wParam));
      return -1;  // the list then handles the key as usual
    }
    case WM_CHARTOITEM:
      return -1;
    case kRemeasureMessage:
      m_bRemeasurePending = false;
      UpdateAllRowHeights();
      return 0;
    case WM_CTLCOLORLISTBOX:
      ::SetBkColor(reinterpret_cast<HDC>(wParam), m_crBack);
      ::SetTextColor(reinterpret_cast<HDC>(wParam), m_crText);
      return reinterpret_cast<LRESULT>(m_hBackBrush);
    default:
      return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
  }
}

BOOL CSuperGridCtrl::OnCreate() {
  if (!m_pFonts) m_pFonts = new vinnet::grid::GridFonts();
  if (!m_hBackBrush) m_hBackBrush = ::CreateSolidBrush(m_crBack);
  HINSTANCE instance = ThisModule();
  m_hHeader = ::CreateWindowExA(0, WC_HEADERA, "", kHeaderStyle, 0, 0, 0, 0, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kHeaderId)), instance, nullptr);
  m_hList = ::CreateWindowExA(0, "LISTBOX", "", m_bSingleSelection ? kSingleSelectionListStyle : kListStyle, 0, 0,
                              0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), instance,
                              nullptr);
  if (!m_hHeader || !m_hList) return FALSE;
  const WPARAM font = reinterpret_cast<WPARAM>(m_pFonts->Normal());
  ::SendMessageA(m_hHeader, WM_SETFONT, font, FALSE);
  ::SendMessageA(m_hList, WM_SETFONT, font, FALSE);
  delete m_pMeasure;
  m_pMeasure = new vinnet::grid::RowMeasure(m_pFonts->Normal(), *m_pFonts);
  ::SetWindowLongPtrA(m_hList, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_pfnListProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(m_hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSuperGridCtrl::ListProc)));
  if (!m_pfnListProc) return FALSE;
  Layout();
  return TRUE;
}

void CSuperGridCtrl::OnDestroy() {
  if (!m_hList) return;
  // Each row is reported before it goes, so that the parent can free what its item data holds.
  DeleteAllItems();
  if (m_pfnListProc) ::SetWindowLongPtrA(m_hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnListProc));
  ::SetWindowLongPtrA(m_hList, GWLP_USERDATA, 0);
}

void CSuperGridCtrl::Layout() {
  if (!m_hHeader || !m_hList) return;
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  RECT area = client;
  WINDOWPOS position = {};
  HDLAYOUT layout = {&area, &position};
  ::SendMessageA(m_hHeader, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  const int header_height = position.cy;
  int total = 0;
  for (int width : m_columnWidths) total += width;
  // The header is as wide as its columns and follows the list's horizontal scrolling.
  ::SetWindowPos(m_hHeader, nullptr, -m_nHeaderScroll, 0, std::max<int>(client.right + m_nHeaderScroll, total),
                 header_height, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_hList, nullptr, 0, header_height, client.right, std::max<int>(0, client.bottom - header_height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSuperGridCtrl::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == m_hHeader) {
    const bool sort_mark = static_cast<int>(item.itemID) == m_nSortCol;
    vinnet::grid::DrawHeaderItem(item, m_hImageList, sort_mark, m_bSortAscending != FALSE);
    return;
  }
  if (item.hwndItem != m_hList) return;
  vinnet::grid::RowLook look = {m_crBack, m_crText, m_crSummary, m_crHighlightBack, m_crHighlightText,
                                m_pFonts, m_hImageList, &m_columnWidths};
  const GridRow* row = item.itemID == static_cast<UINT>(-1) ? nullptr : reinterpret_cast<const GridRow*>(item.itemData);
  RECT client = {};
  ::GetClientRect(m_hList, &client);
  vinnet::grid::DrawRow(item, row, look, reinterpret_cast<HFONT>(::SendMessageA(m_hList, WM_GETFONT, 0, 0)),
                        client.right);
}

void CSuperGridCtrl::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX) return;
  const auto* row = reinterpret_cast<const GridRow*>(item.itemData);
  GridRow empty;
  item.itemHeight = static_cast<UINT>(MeasureRowHeight(row ? *row : empty));
}

void CSuperGridCtrl::SetBackColor(COLORREF color) {
  m_crBack = color;
  if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
  m_hBackBrush = ::CreateSolidBrush(color);
  if (m_hList) ::InvalidateRect(m_hList, nullptr, TRUE);
}

void CSuperGridCtrl::SetForeColor(COLORREF color) {
  m_crText = color;
  if (m_hList) ::InvalidateRect(m_hList, nullptr, FALSE);
}

void CSuperGridCtrl::SetSummaryColor(COLORREF color) {
  m_crSummary = color;
  if (m_hList) ::InvalidateRect(m_hList, nullptr, FALSE);
}

void CSuperGridCtrl::SetHighlightBackColor(COLORREF color) {
  m_crHighlightBack = color;
  if (m_hList) ::InvalidateRect(m_hList, nullptr, FALSE);
}

void CSuperGridCtrl::SetHighlightForeColor(COLORREF color) {
  m_crHighlightText = color;
  if (m_hList) ::InvalidateRect(m_hList, nullptr, FALSE);
}

void CSuperGridCtrl::SetImageList(HIMAGELIST hImageList) {
  m_hImageList = hImageList;
  if (m_hHeader) ::InvalidateRect(m_hHeader, nullptr, TRUE);
  if (m_hList) ::InvalidateRect(m_hList, nullptr, FALSE);
}
