#include <gtest/gtest.h>

#include "grid_test_support.h"

using grid_test::GridHost;

namespace {

class GridRows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.grid.GetSafeHwnd());
    ASSERT_EQ(0, host.grid.InsertColumn(0, "Headline", 200));
    ASSERT_EQ(1, host.grid.InsertColumn(1, "Date", 100));
  }
  // Rows "a", "b", "c"... with item data 100, 101, 102...
  void Fill(int count) {
    for (int index = 0; index < count; ++index) {
      const char text[2] = {static_cast<char>('a' + index), 0};
      ASSERT_EQ(index, host.grid.InsertItem(index, text, 0));
      ASSERT_TRUE(host.grid.SetItemData(index, 100 + index));
    }
  }
  int Height(int row) { return static_cast<int>(::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, row, 0)); }
  GridHost host;
};

TEST_F(GridRows, InsertedCellsKeepTextNumbersAndTheirKindFlags) {
  EXPECT_EQ(0, host.grid.InsertItem(0, "first", SGF_BOLD));
  EXPECT_EQ(0, host.grid.InsertItem(0, 7, 0));
  EXPECT_EQ(2, host.grid.InsertItem(-1, "appended", 0));
  EXPECT_EQ(3, host.grid.GetItemCount());

  CString text;
  DWORD flags = 0;
  int number = 0;
  ASSERT_TRUE(host.grid.GetItem(1, 0, text, flags));
  EXPECT_EQ("first", text);
  EXPECT_EQ(static_cast<DWORD>(SGF_BOLD | SGF_TEXT), flags);
  ASSERT_TRUE(host.grid.GetItem(0, 0, number, flags));
  EXPECT_EQ(7, number);
  EXPECT_EQ(static_cast<DWORD>(SGF_NUMBER), flags);

  EXPECT_TRUE(host.grid.SetItem(1, 1, "9 Dec", SGF_ITALIC));
  EXPECT_TRUE(host.grid.SetItem(2, 1, 3, 0));
  EXPECT_EQ(static_cast<DWORD>(SGF_ITALIC | SGF_TEXT), host.grid.GetItemFlags(1, 1));
  ASSERT_TRUE(host.grid.GetItem(2, 1, number, flags));
  EXPECT_EQ(3, number);
  EXPECT_EQ(static_cast<DWORD>(SGF_NUMBER), flags);
  // A cell never set reads empty; SetItemFlags takes the flags as they are.
  ASSERT_TRUE(host.grid.GetItem(0, 1, text, flags));
  EXPECT_EQ("", text);
  EXPECT_EQ(0u, flags);
  EXPECT_TRUE(host.grid.SetItemFlags(1, 1, SGF_BOLD));
  EXPECT_EQ(static_cast<DWORD>(SGF_BOLD), host.grid.GetItemFlags(1, 1));

  EXPECT_TRUE(host.grid.SetSummary(1, "A summary", SGF_ITALIC));
  ASSERT_TRUE(host.grid.GetSummary(1, text));
  EXPECT_EQ("A summary", text);
  EXPECT_EQ(static_cast<DWORD>(SGF_ITALIC), host.grid.GetSummaryFlags(1));
  EXPECT_TRUE(host.grid.SetItemData(1, 0xDEADBEEF));
  EXPECT_EQ(0xDEADBEEFu, host.grid.GetItemData(1));
}

TEST_F(GridRows, BadRowsAndColumnsAreRefusedAndChangeNothing) {
  Fill(2);
  CString text = "untouched";
  DWORD flags = 99;
  EXPECT_EQ(-1, host.grid.InsertItem(-2, "x", 0));
  EXPECT_FALSE(host.grid.SetItem(2, 0, "x", 0));
  EXPECT_FALSE(host.grid.SetItem(0, 2, "x", 0));
  EXPECT_FALSE(host.grid.SetItem(0, -1, 5, 0));
  EXPECT_FALSE(host.grid.GetItem(-1, 0, text, flags));
  EXPECT_FALSE(host.grid.SetSummary(5, "x", 0));
  EXPECT_FALSE(host.grid.SetItemData(2, 1));
  EXPECT_EQ(0u, host.grid.GetItemData(2));
  EXPECT_EQ("untouched", text);
  EXPECT_EQ(-1, host.grid.InsertColumn(-1, "bad", 10));
  EXPECT_EQ(2, host.grid.GetItemCount());
  EXPECT_EQ(2, host.grid.GetColumnCount());
  EXPECT_TRUE(host.notices.empty());
}

TEST_F(GridRows, ColumnInsertedBeforeOthersKeepsCellsUnderTheirTitles) {
  Fill(1);
  ASSERT_TRUE(host.grid.SetItem(0, 1, "date", 0));
  ASSERT_EQ(0, host.grid.InsertColumn(0, 3, 20));
  CString text;
  DWORD flags;
  ASSERT_TRUE(host.grid.GetItem(0, 1, text, flags));
  EXPECT_EQ("a", text);
  ASSERT_TRUE(host.grid.GetItem(0, 2, text, flags));
  EXPECT_EQ("date", text);
}

TEST_F(GridRows, DeletingTellsTheParentWhileTheRowIsStillThere) {
  Fill(3);
  EXPECT_TRUE(host.grid.DeleteItem(1));
  ASSERT_EQ(1u, host.notices.size());
  EXPECT_EQ(static_cast<UINT>(SGN_DELETEITEM), host.notices[0].code);
  EXPECT_EQ(1, host.notices[0].item);
  EXPECT_EQ(3, host.notices[0].rows_then);
  EXPECT_EQ(101u, host.notices[0].data_then);
  EXPECT_EQ(2, host.grid.GetItemCount());
  EXPECT_EQ(102u, host.grid.GetItemData(1));

  EXPECT_FALSE(host.grid.DeleteItem(2));
  EXPECT_FALSE(host.grid.DeleteItem(-1));
  EXPECT_EQ(1u, host.notices.size());
}

TEST_F(GridRows, DeletingAllAndDestroyingReportEveryRow) {
  Fill(3);
  host.grid.DeleteAllItems();
  EXPECT_EQ(0, host.grid.GetItemCount());
  ASSERT_EQ(3u, host.notices.size());
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(static_cast<UINT>(SGN_DELETEITEM), host.notices[index].code);
    EXPECT_EQ(static_cast<DWORD>(100 + host.notices[index].item), host.notices[index].data_then);
  }
  host.notices.clear();
  Fill(2);
  ::DestroyWindow(host.grid.GetSafeHwnd());
  EXPECT_EQ(std::vector<UINT>(2, SGN_DELETEITEM), host.Codes());
  EXPECT_EQ(nullptr, host.grid.GetSafeHwnd());
  EXPECT_EQ(0, host.grid.GetItemCount());
}

TEST_F(GridRows, RowHeightIsOneLineAndTheWrappedSummaryPlusFour) {
  Fill(3);
  const int line = grid_test::ListLineHeight(host.grid);
  ASSERT_GT(line, 0);
  EXPECT_EQ(line + 4, Height(0));

  ASSERT_TRUE(host.grid.SetSummary(0, "One short summary.", 0));
  const int one_line = Height(0);
  EXPECT_GT(one_line, line + 4);
  std::string longer;
  for (int word = 0; word < 30; ++word) longer += "summary ";
  ASSERT_TRUE(host.grid.SetSummary(1, longer.c_str(), 0));
  EXPECT_GT(Height(1), one_line);

  // Hidden summaries take no room, whatever their length.
  ASSERT_TRUE(host.grid.SetSummaryFlags(1, SGF_HIDESUMMARY));
  EXPECT_EQ(line + 4, Height(1));
  ASSERT_TRUE(host.grid.SetSummary(2, longer.c_str(), SGF_HIDESUMMARY | SGF_BOLD));
  EXPECT_EQ(line + 4, Height(2));
}

TEST_F(GridRows, AVeryLongSummaryStopsAtTheTallestRowTheListTakes) {
  Fill(2);
  std::string longest;
  for (int word = 0; word < 600; ++word) longest += "word ";
  ASSERT_TRUE(host.grid.SetSummary(0, longest.c_str(), 0));
  EXPECT_EQ(255, Height(0));
  // The row after it is still where the list puts it.
  RECT first = grid_test::RowRect(host.grid, 0), second = grid_test::RowRect(host.grid, 1);
  EXPECT_EQ(first.bottom, second.top);
}

TEST_F(GridRows, NarrowerGridWrapsSummariesIntoTallerRows) {
  Fill(1);
  std::string text;
  for (int word = 0; word < 20; ++word) text += "summary ";
  ASSERT_TRUE(host.grid.SetSummary(0, text.c_str(), 0));
  const int wide = Height(0);
  ::SetWindowPos(host.grid.GetSafeHwnd(), nullptr, 0, 0, 260, 300, SWP_NOZORDER | SWP_NOMOVE);
  grid_test::Pump();
  EXPECT_GT(Height(0), wide);
}

}  // namespace
