// What the grid tells its parent, and the list messages it watches to do so: clicks, and the
// scrolling and resizing that the header and row heights follow.
#include "vinnet/super_grid_ctrl.h"

#include "comsupport/boundary.h"

void CSuperGridCtrl::Notify(int code, int item, UINT key) {
  HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (!parent) return;
  SGNOTIFY notice = {};
  notice.hdr.hwndFrom = m_hWnd;
  notice.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
  notice.hdr.code = static_cast<UINT>(code);
  notice.iItem = item;
  notice.nVKey = key;
  ::SendMessageA(parent, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

// The list's user data holds its grid. (comctl32's subclassing keeps its data in a window
// property, which costs a server call per message under Wine: too dear for a list of thousands.)
LRESULT CALLBACK CSuperGridCtrl::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* grid = reinterpret_cast<CSuperGridCtrl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!grid || grid->m_hList != hwnd || !grid->m_pfnListProc) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return comsupport::Boundary("CSuperGridCtrl list", LRESULT(0),
                              [&] { return grid->OnListMessage(message, wParam, lParam); });
}

LRESULT CSuperGridCtrl::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = m_hList;
  const LRESULT result = ::CallWindowProcA(m_pfnListProc, list, message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONUP:
      Notify(NM_CLICK, -1);
      break;
    case WM_RBUTTONUP:
      Notify(NM_RCLICK, -1);
      break;
    case WM_SIZE: {
      RECT client = {};
      ::GetClientRect(list, &client);
      // Summaries wrap at the list's right edge: a new width wraps them anew, once the list has
      // finished what made it change (a scroll bar coming or going, often in mid-fill).
      if (client.right != m_nMeasuredWidth && !m_bRemeasurePending && m_hWnd) {
        m_bRemeasurePending = ::PostMessageA(m_hWnd, kRemeasureMessage, 0, 0) != FALSE;
      }
      SyncHeaderScroll();
      break;
    }
    case WM_HSCROLL:
    case WM_KEYDOWN:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case LB_SETHORIZONTALEXTENT:
      SyncHeaderScroll();
      break;
    default:
      break;
  }
  return result;
}
