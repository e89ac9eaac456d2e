#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid_test_support.h"

using grid_test::ClickColumnTitle;
using grid_test::GridHost;

namespace {

class GridSorting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, host.grid.InsertColumn(0, "Headline", 200));
    ASSERT_EQ(1, host.grid.InsertColumn(1, "Size", 80));
  }
  // One row per headline; column 1 holds the size as a number cell.
  void Add(const char* headline, int size) {
    const int row = host.grid.InsertItem(host.grid.GetItemCount(), headline, 0);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(host.grid.SetItem(row, 1, size, 0));
  }
  std::vector<std::string> Headlines() {
    std::vector<std::string> headlines;
    for (int row = 0; row < host.grid.GetItemCount(); ++row) {
      CString text;
      DWORD flags;
      host.grid.GetItem(row, 0, text, flags);
      headlines.push_back(text);
    }
    return headlines;
  }
  using Order = std::vector<std::string>;
  GridHost host;
};

TEST_F(GridSorting, ClickingATitleSortsAscendingThenDescendingWithoutCase) {
  Add("banana", 1);
  Add("Cherry", 2);
  Add("apple", 3);
  ClickColumnTitle(host.grid, 0);
  EXPECT_EQ(0, host.grid.GetSortCol());
  EXPECT_TRUE(host.grid.GetSortAscending());
  EXPECT_EQ((Order{"apple", "banana", "Cherry"}), Headlines());
  ClickColumnTitle(host.grid, 0);
  EXPECT_FALSE(host.grid.GetSortAscending());
  EXPECT_EQ((Order{"Cherry", "banana", "apple"}), Headlines());
  ClickColumnTitle(host.grid, 0);
  EXPECT_EQ((Order{"apple", "banana", "Cherry"}), Headlines());
}

TEST_F(GridSorting, AnotherColumnSortsAscendingAndNumbersAsNumbers) {
  Add("nine", 9);
  Add("hundred", 100);
  Add("ten", 10);
  Add("minus", -2000000000);
  Add("big", 2000000000);
  host.grid.SetSortCol(0, FALSE);
  ClickColumnTitle(host.grid, 1);
  EXPECT_EQ(1, host.grid.GetSortCol());
  EXPECT_TRUE(host.grid.GetSortAscending());
  // Far apart numbers too: their difference does not fit 32 bits.
  EXPECT_EQ((Order{"minus", "nine", "ten", "hundred", "big"}), Headlines());
  ClickColumnTitle(host.grid, 1);
  EXPECT_EQ((Order{"big", "hundred", "ten", "nine", "minus"}), Headlines());
}

TEST_F(GridSorting, FewerThanTwoRowsStayAsTheyAre) {
  host.grid.SetSortCol(0, TRUE);
  EXPECT_EQ(Order{}, Headlines());
  Add("only", 1);
  ASSERT_TRUE(host.grid.SetSummary(0, "kept", 0));
  const LRESULT height = ::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, 0, 0);
  host.grid.SetSortCol(1, FALSE);
  host.grid.SortItems();
  EXPECT_EQ(Order{"only"}, Headlines());
  EXPECT_EQ(height, ::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, 0, 0));
}

TEST_F(GridSorting, RowsTakeTheirDataSummariesHeightsAndSelectionAlong) {
  Add("b", 1);
  Add("a", 2);
  ASSERT_TRUE(host.grid.SetItemData(0, 11));
  ASSERT_TRUE(host.grid.SetItemData(1, 22));
  std::string longer;
  for (int word = 0; word < 40; ++word) longer += "summary ";
  ASSERT_TRUE(host.grid.SetSummary(0, longer.c_str(), 0));
  const LRESULT tall = ::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, 0, 0);
  ASSERT_TRUE(host.grid.SetSelectedItem(0));

  host.grid.SetSortCol(0, TRUE);
  EXPECT_EQ((Order{"a", "b"}), Headlines());
  EXPECT_EQ(11u, host.grid.GetItemData(1));
  EXPECT_EQ(22u, host.grid.GetItemData(0));
  CString summary;
  ASSERT_TRUE(host.grid.GetSummary(1, summary));
  EXPECT_EQ(longer, summary);
  EXPECT_EQ(tall, ::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, 1, 0));
  EXPECT_LT(::SendMessageA(host.grid.GetListBox(), LB_GETITEMHEIGHT, 0, 0), tall);
  CDWordArray selected;
  host.grid.GetSelectedItems(selected);
  ASSERT_EQ(1, selected.GetSize());
  EXPECT_EQ(1u, selected[0]);
}

TEST_F(GridSorting, AColumnMixingNumbersAndTextsSortsTheSameWhateverTheStart) {
  // Number cells go first, texts after them, each in their own order.
  const Order expected = {"n1", "n5", "Alpha", "beta"};
  const std::vector<Order> starts = {{"beta", "n5", "Alpha", "n1"}, {"n5", "beta", "n1", "Alpha"}};
  for (const Order& start : starts) {
    host.grid.DeleteAllItems();
    for (const std::string& name : start) {
      const int row = host.grid.InsertItem(host.grid.GetItemCount(), name.c_str(), 0);
      if (name[0] == 'n') host.grid.SetItem(row, 1, name[1] - '0', 0);
      else host.grid.SetItem(row, 1, name.c_str(), 0);
    }
    host.grid.SetSortCol(1, TRUE);
    EXPECT_EQ(expected, Headlines());
  }
}

TEST_F(GridSorting, AColumnThatDoesNotExistIsNoSortColumn) {
  Add("b", 1);
  Add("a", 2);
  host.grid.SetSortCol(5, TRUE);
  EXPECT_EQ(-1, host.grid.GetSortCol());
  host.grid.SortItems();
  EXPECT_EQ((Order{"b", "a"}), Headlines());
}

}  // namespace
