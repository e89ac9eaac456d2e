// Storyroll's window: the grid and its columns, the messages the control handles, the grid's
// notices (clicks, selection, deleted rows), keys and timers.
#include <windows.h>
#include <commctrl.h>

#include "comsupport/this_module.h"
#include "controls/control_module.h"
#include "controls/settings.h"
#include "storyroll_ctrl.h"
#include "storyroll_resources.h"

namespace {

constexpr UINT kGridId = 1;
constexpr DWORD kGridStyle = 0x56800000;  // child, visible, clip siblings and children, border
constexpr UINT_PTR kClickTimer = 1;
constexpr UINT kClickDelay = 100;

struct ColumnLook {
  int kind;
  const char* header;  // null: an image header
  int header_image;
  int width;
};

constexpr ColumnLook kColumnLooks[] = {
    {CStoryrollCtrl::kContent, "Content", -1, 400},  {CStoryrollCtrl::kReceived, "Received", -1, 150},
    {CStoryrollCtrl::kAlerted, nullptr, 2, 20},       {CStoryrollCtrl::kAttachment, nullptr, 0, 20},
    {CStoryrollCtrl::kSigned, nullptr, 4, 20},
};

const ColumnLook& LookOf(int kind) {
  for (const ColumnLook& look : kColumnLooks) {
    if (look.kind == kind) return look;
  }
  return kColumnLooks[0];
}

}  // namespace

CStoryrollCtrl::CStoryrollCtrl() : ControlBase(controls::ThisControlClass()) {}

CStoryrollCtrl::~CStoryrollCtrl() {
  DestroyControl();
  if (images_) ::ImageList_Destroy(images_);
}

bool CStoryrollCtrl::OnCreateWindow() {
  ::SetWindowLongA(window(), GWL_STYLE, ::GetWindowLongA(window(), GWL_STYLE) | WS_CLIPCHILDREN);
  RECT client;
  ::GetClientRect(window(), &client);
  if (!grid_.Create(kGridStyle, client, window(), kGridId)) return false;
  if (!images_) {
    images_ = ::ImageList_LoadImageA(comsupport::ThisModule(), MAKEINTRESOURCEA(IDB_COLUMN_IMAGES), 16, 1,
                                     RGB(0, 255, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
  }
  grid_.SetImageList(images_);
  ApplyColors();

  const std::string subkey = control_class().settings_subkey;
  DWORD unused = 0;
  controls::ReadSettingDword(subkey, "Column Width 0", 400, &unused);
  controls::ReadSettingDword(subkey, "Column Width 1", 150, &unused);
  controls::ReadSettingDword(subkey, "Sort Column", 1, &unused);
  controls::ReadSettingDword(subkey, "Sort Ascending", 0, &unused);

  columns_.clear();
  if (alert_column_) columns_.push_back(kAlerted);
  if (attachment_column_) columns_.push_back(kAttachment);
  if (signed_column_) columns_.push_back(kSigned);
  columns_.push_back(kContent);
  columns_.push_back(kReceived);
  for (size_t column = 0; column < columns_.size(); ++column) {
    const ColumnLook& look = LookOf(columns_[column]);
    const int index = static_cast<int>(column);
    if (look.header) {
      grid_.InsertColumn(index, look.header, look.width);
    } else {
      grid_.InsertColumn(index, look.header_image, look.width);
    }
    if (look.kind == kReceived) grid_.SetSortCol(index, FALSE);
  }
  return true;
}

void CStoryrollCtrl::OnLibrariesLost() {
  if (has_grid()) ::DestroyWindow(grid_.GetSafeHwnd());
}

LRESULT CStoryrollCtrl::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_SIZE:
      if (has_grid()) ::MoveWindow(grid_.GetSafeHwnd(), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (has_grid()) ::SetFocus(grid_.GetSafeHwnd());
      return 0;
    case WM_NOTIFY:
      return OnGridNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND:
      if (lparam == 0) OnCommand(LOWORD(wparam));
      return 0;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_DESTROY:
      ::KillTimer(window(), kClickTimer);
      ::KillTimer(window(), kUpdateTimer);
      return 0;
    default:
      break;
  }
  if (OnRefreshMessage(message, wparam, lparam)) return 0;
  handled = false;
  return 0;
}

bool CStoryrollCtrl::PreTranslateKey(const MSG& message) {
  return message.message == WM_KEYDOWN && OnKey(static_cast<UINT>(message.wParam));
}

bool CStoryrollCtrl::OnKey(UINT key) {
  if (key == VK_DELETE) {
    DeleteSelected();
    return true;
  }
  if (key == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000)) {
    SelectAll();
    return true;
  }
  return false;
}

LRESULT CStoryrollCtrl::OnGridNotify(const NMHDR& header) {
  if (header.idFrom != kGridId || !has_grid() || header.hwndFrom != grid_.GetSafeHwnd()) return 0;
  const auto& notice = reinterpret_cast<const SGNOTIFY&>(header);
  switch (header.code) {
    case NM_CLICK:
      // The release that ends a double click is no click of its own.
      if (double_click_release_) {
        double_click_release_ = false;
        if (static_cast<UINT>(::GetMessageTime() - double_click_time_) <= ::GetDoubleClickTime()) break;
      }
      ::SetTimer(window(), kClickTimer, kClickDelay, nullptr);
      break;
    case NM_DBLCLK: {
      ::KillTimer(window(), kClickTimer);
      double_click_release_ = true;
      double_click_time_ = ::GetMessageTime();
      const StoryRowRecord* one = SingleSelection();
      if (!one) break;
      const StoryRowRecord story = *one;
      FireEvent(5, static_cast<long>(story.channel_id), static_cast<long>(story.story_id));
      FullStory(story);
      break;
    }
    case NM_RCLICK:
      ShowContextMenu();
      break;
    case SGN_SELCHANGE:
      FireSelectionChanged();
      break;
    case SGN_DELETEITEM:
      delete reinterpret_cast<StoryRowRecord*>(grid_.GetItemData(notice.iItem));
      grid_.SetItemData(notice.iItem, 0);
      break;
    case SGN_KEYDOWN:
      OnKey(notice.nVKey);
      break;
    default:
      break;
  }
  return 0;
}

void CStoryrollCtrl::FireSelectionChanged() {
  if (grid_.GetSelectedCount() != 1) return;
  const StoryRowRecord* one = SingleSelection();
  StoryRowRecord story = one ? *one : StoryRowRecord{0, 0};
  if (!StoryExists(story.channel_id, story.story_id)) story = {0, 0};
  FireEvent(6, static_cast<long>(story.channel_id), static_cast<long>(story.story_id));
  FireEvent(2, static_cast<long>(story.channel_id), static_cast<long>(story.story_id), std::string());
}

void CStoryrollCtrl::OnTimer(UINT_PTR id) {
  if (id == kClickTimer) {
    ::KillTimer(window(), kClickTimer);
    const StoryRowRecord* one = SingleSelection();
    if (!one || !StoryExists(one->channel_id, one->story_id)) return;
    const StoryRowRecord story = *one;
    FireEvent(4, static_cast<long>(story.channel_id), static_cast<long>(story.story_id));
    FireEvent(1, static_cast<long>(story.channel_id), static_cast<long>(story.story_id), std::string());
  } else if (id == kUpdateTimer) {
    Refresh(true);
  }
}
