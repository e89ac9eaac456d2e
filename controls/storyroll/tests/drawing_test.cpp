// What the control draws: pixels of its real window for unread and read rows and for the
// selected row's colours, drawing before the window exists, and the platform's own host.

#include "storyroll_test_support.h"
#include "testing/scripting.h"
#include "testing/window_capture.h"

namespace storyroll_tests {
namespace {

class StoryrollDrawing : public StoryrollTest {
 protected:
  // Two stories with one headline, one read: their rows differ only by the font.
  static void AddTwins() {
    Check(client()->AddStories(30, comsupport::Bstr(R"([
      {"id": 3010, "title": "Twin headline", "fields": {"Story Time": 980000000}, "attributes": {"Read": 0}},
      {"id": 3011, "title": "Twin headline", "fields": {"Story Time": 970000000}, "attributes": {"Read": 1}}])").get(), 0));
  }
  static RECT RowRect(HWND list, HWND window, int row) {
    RECT rect = {};
    ::SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(list, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
};

TEST_F(StoryrollDrawing, UnreadRowsAreBoldAndTheSelectionTakesTheHighlightColours) {
  AddTwins();
  HostedStoryroll roll(standin::Initialization::FromParams({{"ForeColor", "128"}}));  // dark red text
  roll.SetChannel(30);
  int unread_row = -1, read_row = -1, other_row = -1;
  const auto rows = roll.Rows();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    if (rows[row].story == 3010) unread_row = row;
    else if (rows[row].story == 3011) read_row = row;
    else if (other_row < 0) other_row = row;
  }
  ASSERT_TRUE(unread_row >= 0 && read_row >= 0 && other_row >= 0);
  roll.Put("HighlightBackColor", Long(0x00FF00));  // green
  roll.Put("HighlightForeColor", Long(0xFFFFFF));
  roll.Put("SelectedStoryIndex", Long(other_row));
  Pump(100);

  testing_support::WindowCapture picture(roll.window());
  const COLORREF text = RGB(128, 0, 0);
  const int unread = picture.Count(text, RowRect(roll.list(), roll.window(), unread_row));
  const int read = picture.Count(text, RowRect(roll.list(), roll.window(), read_row));
  EXPECT_GT(read, 20) << "the read row's text is drawn in ForeColor";
  EXPECT_GT(unread, read + read / 8) << "bold strokes are wider";

  const RECT selected = RowRect(roll.list(), roll.window(), other_row);
  const int area = (selected.right - selected.left) * (selected.bottom - selected.top);
  EXPECT_GT(picture.Count(RGB(0, 255, 0), selected), area / 3) << "HighlightBackColor fills the selected row";
  EXPECT_EQ(0, picture.Count(RGB(0, 255, 0), RowRect(roll.list(), roll.window(), unread_row)));
}

TEST_F(StoryrollDrawing, BeforeItsWindowExistsTheControlDrawsWhite) {
  standin::ControlContainer container;
  ASSERT_EQ(S_OK, container.Create("Zorvane.StoryrollCtrl.1"));
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 20);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  RECT all = {0, 0, 40, 20};
  ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  RECT bounds = {5, 5, 35, 15};
  EXPECT_EQ(S_OK, ::OleDraw(container.control(), DVASPECT_CONTENT, memory, &bounds));
  EXPECT_EQ(RGB(255, 255, 255), ::GetPixel(memory, 20, 10));
  EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(memory, 2, 2)) << "nothing outside the bounds";
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  container.Teardown();
}

// Wine's own container: no ambient properties, no property bag, InitNew before the site.
TEST_F(StoryrollDrawing, ThePlatformsOwnHostRunsItToo) {
  HMODULE atl = ::LoadLibraryA("atl.dll");
  ASSERT_TRUE(atl);
  auto init = reinterpret_cast<BOOL(WINAPI*)()>(::GetProcAddress(atl, "AtlAxWinInit"));
  auto get_control = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxGetControl")));
  ASSERT_TRUE(init && get_control && init());
  HWND host = ::CreateWindowExA(0, "AtlAxWin", "Zorvane.StoryrollCtrl.1", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500,
                                240, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(host);
  comsupport::ComPtr<IUnknown> control;
  ASSERT_EQ(S_OK, get_control(host, control.put()));
  auto dispatch = control.As<IDispatch>();
  ASSERT_TRUE(dispatch);
  comsupport::Variant result;
  EXPECT_EQ(S_OK, testing_support::InvokeByName(dispatch.get(), "SetChannel", DISPATCH_METHOD, {Long(30)}, result.get()));
  EXPECT_EQ(S_OK, testing_support::InvokeByName(dispatch.get(), "NumStories", DISPATCH_PROPERTYGET, {}, result.put()));
  EXPECT_EQ(5, result.get()->lVal);
  dispatch.reset();
  control.reset();
  ::DestroyWindow(host);
  Pump(100);
  ::FreeLibrary(atl);
}

}  // namespace
}  // namespace storyroll_tests
