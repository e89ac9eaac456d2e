#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "grid_test_support.h"
#include "testing/process.h"

using grid_test::Capture;
using grid_test::GridHost;
using grid_test::RowRect;

namespace {

const COLORREF kHighlightBack = RGB(0x20, 0x40, 0xA0);
const COLORREF kHighlightText = RGB(0xF0, 0xE0, 0x10);
const COLORREF kSummary = RGB(0xC0, 0x10, 0x20);
const COLORREF kText = RGB(0x10, 0x90, 0x30);

class GridDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    host.grid.SetHighlightBackColor(kHighlightBack);
    host.grid.SetHighlightForeColor(kHighlightText);
    host.grid.SetSummaryColor(kSummary);
    host.grid.SetForeColor(kText);
    ASSERT_EQ(0, host.grid.InsertColumn(0, "Headline", 220));
    ASSERT_EQ(1, host.grid.InsertColumn(1, "Received", 120));
  }
  void AddStory(const char* headline, const char* summary, DWORD summary_flags) {
    const int row = host.grid.InsertItem(host.grid.GetItemCount(), headline, 0);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(host.grid.SetItem(row, 1, "12/09/2026", 0));
    ASSERT_TRUE(host.grid.SetSummary(row, summary, summary_flags));
  }
  GridHost host;
};

TEST_F(GridDrawing, TheSelectedRowTakesTheHighlightColours) {
  AddStory("First story", "", SGF_HIDESUMMARY);
  AddStory("Second story", "", SGF_HIDESUMMARY);
  ASSERT_TRUE(host.grid.SetSelectedItem(1));
  Capture picture(host.grid.GetSafeHwnd());
  const RECT unselected = RowRect(host.grid, 0), selected = RowRect(host.grid, 1);
  const int area = (selected.right - selected.left) * (selected.bottom - selected.top);
  // Filled with the highlight (but for the text and the focus rectangle's dots).
  EXPECT_GT(picture.Count(kHighlightBack, selected), area / 2);
  EXPECT_GT(picture.Count(kHighlightText, selected), 0);
  EXPECT_EQ(0, picture.Count(kText, selected));
  EXPECT_EQ(0, picture.Count(kHighlightBack, unselected));
  EXPECT_EQ(0, picture.Count(kHighlightText, unselected));
  EXPECT_GT(picture.Count(kText, unselected), 0);
  EXPECT_GT(picture.Count(host.grid.GetBackColor(), unselected), area / 2);
}

TEST_F(GridDrawing, SummariesSitInTheirRectangleUnlessHidden) {
  const char* summary = "The summary text goes on for a while so that it wraps onto more than one line here.";
  AddStory("Shown", summary, 0);
  AddStory("Hidden", summary, SGF_HIDESUMMARY);
  Capture picture(host.grid.GetSafeHwnd());
  const RECT shown = RowRect(host.grid, 0), hidden = RowRect(host.grid, 1);
  EXPECT_GT(picture.Count(kSummary, shown), 0);
  EXPECT_EQ(0, picture.Count(kSummary, hidden));
  // Nothing of it left of 50 pixels, nor in the last 10 before the list's right edge, nor on the
  // cells' line.
  RECT list = {};
  ::GetClientRect(host.grid.GetListBox(), &list);
  EXPECT_EQ(0, picture.Count(kSummary, {shown.left, shown.top, shown.left + 50, shown.bottom}));
  EXPECT_EQ(0, picture.Count(kSummary, {list.right - 10, shown.top, list.right, shown.bottom}));
  const int line = grid_test::ListLineHeight(host.grid);
  EXPECT_EQ(0, picture.Count(kSummary, {shown.left, shown.top, shown.right, shown.top + line - 4}));
}

TEST_F(GridDrawing, BoldCellsDrawHeavierText) {
  AddStory("Same words", "", SGF_HIDESUMMARY);
  AddStory("Same words", "", SGF_HIDESUMMARY);
  ASSERT_TRUE(host.grid.SetItemFlags(1, 0, SGF_TEXT | SGF_BOLD));
  Capture picture(host.grid.GetSafeHwnd());
  RECT normal = RowRect(host.grid, 0), bold = RowRect(host.grid, 1);
  normal.right = normal.left + 220;
  bold.right = bold.left + 220;
  EXPECT_GT(picture.Count(kText, bold), picture.Count(kText, normal));
}

// The sort mark as what changed in a header item against a picture without it: +1 pointing up,
// -1 pointing down, 0 when nothing changed. Only the direction is read, from where the leftmost
// changed pixel lies in the mark's top and bottom rows (the apex is in the middle, the base or
// top edge spans the width), so that edges drawn in the header's own background colour (a
// themed header is white) do not matter.
int MarkDirection(CSuperGridCtrl& grid, int column, const Capture& without) {
  Capture with(grid.GetSafeHwnd());
  RECT item = {};
  ::SendMessageA(grid.GetHeaderCtrl(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
  int top = -1, bottom = -1, top_left = 0, bottom_left = 0;
  for (int y = item.top + 2; y < item.bottom - 2; ++y) {
    for (int x = item.left + 2; x < item.right - 2; ++x) {
      if (with.At(x, y) == without.At(x, y)) continue;
      if (top < 0) {
        top = y;
        top_left = x;
      }
      if (y != bottom) {
        bottom = y;
        bottom_left = x;
      }
      break;
    }
  }
  if (top < 0 || top == bottom || top_left == bottom_left) return 0;
  return top_left > bottom_left ? 1 : -1;
}

TEST_F(GridDrawing, TheSortColumnCarriesAMarkPointingTheSortsWay) {
  AddStory("b", "", SGF_HIDESUMMARY);
  AddStory("a", "", SGF_HIDESUMMARY);
  const Capture unsorted(host.grid.GetSafeHwnd());
  host.grid.SetSortCol(1, TRUE);
  EXPECT_EQ(1, MarkDirection(host.grid, 1, unsorted));
  EXPECT_EQ(0, MarkDirection(host.grid, 0, unsorted));
  host.grid.SetSortCol(1, FALSE);
  EXPECT_EQ(-1, MarkDirection(host.grid, 1, unsorted));

  // Its shadowed edges are in the button shadow colour.
  Capture picture(host.grid.GetSafeHwnd());
  RECT item = {};
  ::SendMessageA(host.grid.GetHeaderCtrl(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  int shadow = 0;
  for (int y = item.top + 2; y < item.bottom - 2; ++y) {
    for (int x = item.left + 2; x < item.right - 2; ++x) {
      if (picture.At(x, y) != unsorted.At(x, y) && picture.At(x, y) == ::GetSysColor(COLOR_BTNSHADOW)) ++shadow;
    }
  }
  EXPECT_GE(shadow, 4);

  // A header click moves the mark to the clicked column, ascending.
  grid_test::ClickColumnTitle(host.grid, 0);
  EXPECT_EQ(1, MarkDirection(host.grid, 0, unsorted));
  EXPECT_EQ(0, MarkDirection(host.grid, 1, unsorted));
}

// A populated grid for a person to look at: build/gallery/grid.png.
TEST(GridGallery, WritesAPictureOfAPopulatedGrid) {
  GridHost host(WS_CHILD | WS_VISIBLE, 560, 360);
  HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
  ASSERT_TRUE(images);
  ::ImageList_AddIcon(images, ::LoadIcon(nullptr, IDI_INFORMATION));
  ::ImageList_AddIcon(images, ::LoadIcon(nullptr, IDI_WARNING));
  host.grid.SetImageList(images);
  host.grid.SetSummaryColor(RGB(0xFF, 0, 0));
  ASSERT_EQ(0, host.grid.InsertColumn(0, 0, 24));
  ASSERT_EQ(1, host.grid.InsertColumn(1, "Content", 330));
  ASSERT_EQ(2, host.grid.InsertColumn(2, "Received", 150));
  struct Story {
    int image;
    const char* headline;
    const char* received;
    const char* summary;
    DWORD flags;
  };
  // The stories of the example fixture, as the story list shows them.
  const Story stories[] = {
      {1, "Display driver 2.1", "Jan 1 - 12:00 am", "New display driver", SGF_BOLD},
      {0, "BIOS notes", "", "Read before updating", 0},
      {0, "Welcome", "", "No Summary Available", SGF_BOLD | SGF_HIDESUMMARY},
  };
  for (const Story& story : stories) {
    const int row = host.grid.InsertItem(host.grid.GetItemCount(), story.image, 0);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(host.grid.SetItem(row, 1, story.headline, story.flags & SGF_BOLD));
    ASSERT_TRUE(host.grid.SetItem(row, 2, story.received, story.flags & SGF_BOLD));
    ASSERT_TRUE(host.grid.SetSummary(row, story.summary, story.flags & SGF_HIDESUMMARY));
  }
  host.grid.SetSortCol(2, FALSE);
  ASSERT_TRUE(host.grid.SetSelectedItem(0));
  ::SetFocus(host.grid.GetSafeHwnd());
  Capture picture(host.window());
  const std::string directory = testing_support::BuildOutput("..\\gallery");
  ::CreateDirectoryA(directory.c_str(), nullptr);
  const std::string path = directory + "\\grid.png";
  EXPECT_TRUE(picture.SavePng(std::wstring(path.begin(), path.end())));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(path.c_str()));
  ::DestroyWindow(host.window());
  ::ImageList_Destroy(images);
}

}  // namespace
