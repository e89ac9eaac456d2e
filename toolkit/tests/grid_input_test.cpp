#include <gtest/gtest.h>

#include <vector>

#include "grid_test_support.h"

using grid_test::GridHost;
using grid_test::RowRect;

namespace {

std::vector<DWORD> Selected(CSuperGridCtrl& grid) {
  CDWordArray items;
  grid.GetSelectedItems(items);
  return std::vector<DWORD>(items.begin(), items.end());
}

void Fill(CSuperGridCtrl& grid, int count) {
  grid.InsertColumn(0, "Headline", 150);
  grid.InsertColumn(1, "Date", 100);
  for (int row = 0; row < count; ++row) {
    grid.InsertItem(row, "story", 0);
    grid.SetItem(row, 1, "today", 0);
  }
}

POINT MiddleOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

TEST(GridInput, KeysAreReportedWithTheCaretRowBeforeTheListMovesOn) {
  GridHost host;
  Fill(host.grid, 3);
  ASSERT_TRUE(host.grid.SetSelectedItem(1));
  host.notices.clear();
  ::SetFocus(host.grid.GetSafeHwnd());
  EXPECT_EQ(host.grid.GetListBox(), ::GetFocus());

  ::SendMessageA(host.grid.GetListBox(), WM_KEYDOWN, VK_DOWN, 1);
  grid_test::Pump();
  ASSERT_GE(host.notices.size(), 2u);
  EXPECT_EQ(static_cast<UINT>(SGN_KEYDOWN), host.notices[0].code);
  EXPECT_EQ(1, host.notices[0].item);
  EXPECT_EQ(static_cast<UINT>(VK_DOWN), host.notices[0].key);
  // The list still moved: the selection went down a row and the parent heard of it.
  EXPECT_EQ(static_cast<UINT>(SGN_SELCHANGE), host.notices[1].code);
  EXPECT_EQ(-1, host.notices[1].item);
  EXPECT_EQ(std::vector<DWORD>{2}, Selected(host.grid));

  host.notices.clear();
  ::SendMessageA(host.grid.GetListBox(), WM_KEYDOWN, VK_SPACE, 1);
  ASSERT_FALSE(host.notices.empty());
  EXPECT_EQ(static_cast<UINT>(SGN_KEYDOWN), host.notices[0].code);
  EXPECT_EQ(2, host.notices[0].item);
  EXPECT_EQ(static_cast<UINT>(VK_SPACE), host.notices[0].key);
}

TEST(GridInput, ClicksInTheListAreReported) {
  GridHost host;
  Fill(host.grid, 3);
  HWND list = host.grid.GetListBox();
  RECT row = {};
  ::SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  grid_test::Click(list, MiddleOf(row));
  EXPECT_EQ((std::vector<UINT>{SGN_SELCHANGE, static_cast<UINT>(NM_CLICK)}), host.Codes());
  EXPECT_EQ(-1, host.notices.back().item);
  EXPECT_EQ(std::vector<DWORD>{2}, Selected(host.grid));

  host.notices.clear();
  const LPARAM where = MAKELPARAM(MiddleOf(row).x, MiddleOf(row).y);
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
  ::SendMessageA(list, WM_LBUTTONUP, 0, where);
  grid_test::Pump();
  const std::vector<UINT> codes = host.Codes();
  EXPECT_NE(codes.end(), std::find(codes.begin(), codes.end(), static_cast<UINT>(NM_DBLCLK)));

  host.notices.clear();
  ::SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, where);
  ::SendMessageA(list, WM_RBUTTONUP, 0, where);
  grid_test::Pump();
  ASSERT_EQ(std::vector<UINT>{static_cast<UINT>(NM_RCLICK)}, host.Codes());
  EXPECT_EQ(-1, host.notices[0].item);
}

TEST(GridInput, SelectionIsSetAndReadByRows) {
  GridHost host;
  Fill(host.grid, 4);
  EXPECT_EQ(0, host.grid.GetSelectedCount());
  CDWordArray wanted;
  wanted.Add(3);
  wanted.Add(1);
  EXPECT_TRUE(host.grid.SetSelectedItems(wanted));
  EXPECT_EQ(2, host.grid.GetSelectedCount());
  EXPECT_EQ((std::vector<DWORD>{1, 3}), Selected(host.grid));

  // One bad index: nothing changes.
  wanted.Add(4);
  EXPECT_FALSE(host.grid.SetSelectedItems(wanted));
  EXPECT_EQ((std::vector<DWORD>{1, 3}), Selected(host.grid));

  EXPECT_TRUE(host.grid.SetSelectedItem(2));
  EXPECT_EQ(std::vector<DWORD>{2}, Selected(host.grid));
  EXPECT_TRUE(host.grid.SetSelectedItem(-1));
  EXPECT_EQ((std::vector<DWORD>{0, 1, 2, 3}), Selected(host.grid));
  EXPECT_FALSE(host.grid.SetSelectedItem(4));
  EXPECT_EQ(4, host.grid.GetSelectedCount());
}

TEST(GridInput, StyleBitZeroMakesASingleSelectionGridAndIsNotKept) {
  GridHost host(WS_CHILD | WS_VISIBLE | 1);
  Fill(host.grid, 3);
  EXPECT_EQ(0, ::GetWindowLongA(host.grid.GetSafeHwnd(), GWL_STYLE) & 1);
  // The list shows and hides its scroll bars as its contents need.
  const LONG scroll_bars = WS_HSCROLL | WS_VSCROLL;
  EXPECT_EQ(0x56300521 & ~scroll_bars, ::GetWindowLongA(host.grid.GetListBox(), GWL_STYLE) & ~scroll_bars);
  EXPECT_EQ(2, ::GetDlgCtrlID(host.grid.GetListBox()));
  EXPECT_EQ(1, ::GetDlgCtrlID(host.grid.GetHeaderCtrl()));
  CDWordArray two;
  two.Add(0);
  two.Add(1);
  EXPECT_FALSE(host.grid.SetSelectedItems(two));
  EXPECT_TRUE(host.grid.SetSelectedItem(1));
  EXPECT_TRUE(host.grid.SetSelectedItem(2));
  EXPECT_EQ(1, host.grid.GetSelectedCount());
  EXPECT_EQ(std::vector<DWORD>{2}, Selected(host.grid));

  GridHost extended;
  EXPECT_EQ(0x56300D21 & ~scroll_bars, ::GetWindowLongA(extended.grid.GetListBox(), GWL_STYLE) & ~scroll_bars);
  EXPECT_EQ(static_cast<LONG>(0x56000002), static_cast<LONG>(::GetWindowLongA(extended.grid.GetHeaderCtrl(), GWL_STYLE)));
  EXPECT_TRUE(::GetWindowLongA(extended.grid.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST(GridInput, HitTestFindsRowColumnAndSummary) {
  GridHost host;
  Fill(host.grid, 2);
  ASSERT_TRUE(host.grid.SetSummary(1, "A summary under the cells", 0));
  int row = 0, column = 0;
  UINT flags = 0;

  const RECT first = RowRect(host.grid, 0);
  EXPECT_TRUE(host.grid.HitTest({first.left + 160, first.top + 2}, row, column, flags));
  EXPECT_EQ(0, row);
  EXPECT_EQ(1, column);
  EXPECT_EQ(static_cast<UINT>(SGHT_ONCELL), flags);

  const RECT second = RowRect(host.grid, 1);
  EXPECT_TRUE(host.grid.HitTest({second.left + 10, second.bottom - 2}, row, column, flags));
  EXPECT_EQ(1, row);
  EXPECT_EQ(0, column);
  EXPECT_TRUE(flags & SGHT_ONSUMMARY);

  EXPECT_TRUE(host.grid.HitTest({second.left + 400, second.top + 2}, row, column, flags));
  EXPECT_EQ(-1, column);
  EXPECT_EQ(static_cast<UINT>(SGHT_RIGHT), flags);

  EXPECT_FALSE(host.grid.HitTest({10, second.bottom + 20}, row, column, flags));
  EXPECT_EQ(-1, row);
  EXPECT_EQ(static_cast<UINT>(SGHT_NOWHERE), flags);

  EXPECT_FALSE(host.grid.HitTest({170, 3}, row, column, flags));
  EXPECT_EQ(static_cast<UINT>(SGHT_ONHEADER), flags);
  EXPECT_EQ(1, column);
}

TEST(GridInput, HorizontalScrollingTakesTheHeaderAlong) {
  GridHost host(WS_CHILD | WS_VISIBLE, 300, 200);
  host.grid.InsertColumn(0, "Wide", 400);
  host.grid.InsertColumn(1, "Wider", 300);
  host.grid.InsertItem(0, "row", 0);
  grid_test::Pump();
  HWND list = host.grid.GetListBox();
  EXPECT_EQ(700, ::SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
  ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 120), 0);
  grid_test::Pump();
  const int scrolled = ::GetScrollPos(list, SB_HORZ);
  ASSERT_GT(scrolled, 0);
  RECT header = {};
  ::GetWindowRect(host.grid.GetHeaderCtrl(), &header);
  ::MapWindowPoints(nullptr, host.grid.GetSafeHwnd(), reinterpret_cast<POINT*>(&header), 2);
  EXPECT_EQ(-scrolled, header.left);

  // Dragging a divider wider: the extent follows at once.
  HDITEMA item = {};
  item.mask = HDI_WIDTH;
  item.cxy = 500;
  ::SendMessageA(host.grid.GetHeaderCtrl(), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  grid_test::Pump();
  EXPECT_EQ(800, ::SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
}

}  // namespace
