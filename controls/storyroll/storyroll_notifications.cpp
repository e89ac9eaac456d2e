// The channel model's refresh messages: rows removed or redrawn in place, and channel changes
// that refresh the whole list (channel updates coalesced by the update timer).
#include "ravlin/data_list.h"
#include "redraw_off.h"
#include "storyroll_ctrl.h"
#include "vinnet/helpers.h"

namespace {

constexpr UINT kUpdateDelay = 5000;
// From the third pending update on, the timer is no longer pushed back.
constexpr int kMaxPendingUpdates = 3;

}  // namespace

bool CStoryrollCtrl::OnRefreshMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const controls::RefreshMessages& codes = controls::RefreshMessages::Get();
  const DWORD channel_id = static_cast<DWORD>(wparam);
  const auto* stories = reinterpret_cast<const DATA_LIST*>(lparam);
  if (message == 0) return false;
  if (message == codes.stories_deleted) {
    if (has_grid() && IsOneOf(channel_id, channels_)) OnStoriesDeleted(channel_id, stories);
  } else if (message == codes.stories_attribute_changed) {
    if (has_grid() && IsOneOf(channel_id, channels_)) OnStoriesChanged(channel_id, stories);
  } else if (message == codes.channel_updated) {
    if (has_grid() && IsOneOf(channel_id, channels_)) OnChannelUpdated();
  } else if (message == codes.channel_added) {
    if (has_grid() && view_mode_ == kCategory) RecomputeCategoryChannels();
  } else if (message == codes.channel_deleted) {
    if (has_grid()) OnChannelDeleted(channel_id);
  } else if (message == codes.channel_attribute_changed) {
    if (has_grid() && view_mode_ == kCategory && RecomputeCategoryChannels()) Refresh(true);
  } else {
    return false;
  }
  return true;
}

void CStoryrollCtrl::OnStoriesDeleted(DWORD channel_id, const DATA_LIST* stories) {
  if (!stories) return;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  bool deleted = false;
  for (long i = 0; i < stories->GetCount(); ++i) {
    const DWORD story_id = stories->GetAt(i);
    for (int row = grid_.GetItemCount() - 1; row >= 0; --row) {
      const StoryRowRecord* record = Record(row);
      if (record && record->channel_id == channel_id && record->story_id == story_id) {
        grid_.DeleteItem(row);
        deleted = true;
      }
    }
  }
  if (!deleted) return;
  if (grid_.GetItemCount() == 0) InsertPlaceholder();
  FireEvent(3);
  if (selected.IsEmpty()) return;
  const int count = grid_.GetItemCount();
  const int first = static_cast<int>(selected[0]);
  if (first < count) {
    grid_.SetSelectedItem(first);
  } else if (count > 0) {
    grid_.SetSelectedItem(count - 1);
  }
}

void CStoryrollCtrl::OnStoriesChanged(DWORD channel_id, const DATA_LIST* stories) {
  if (!stories) return;
  {
    RedrawOff quiet(grid_.GetSafeHwnd());
    controls::ChannelModel model;
    CService* channel = model.Channel(channel_id);
    for (long i = 0; channel && i < stories->GetCount(); ++i) {
      const DWORD story_id = stories->GetAt(i);
      const long index = channel->GetStoryIndex(story_id);
      if (index < 0) continue;
      for (int row = grid_.GetItemCount() - 1; row >= 0; --row) {
        const StoryRowRecord* record = Record(row);
        if (record && record->channel_id == channel_id && record->story_id == story_id) {
          FillRow(row, *channel, index, false);
        }
      }
    }
  }
  RedrawList();
}

void CStoryrollCtrl::OnChannelUpdated() {
  if (pending_updates_ >= kMaxPendingUpdates) return;
  ++pending_updates_;
  ::KillTimer(window(), kUpdateTimer);
  ::SetTimer(window(), kUpdateTimer, kUpdateDelay, nullptr);
}

void CStoryrollCtrl::OnChannelDeleted(DWORD channel_id) {
  if (view_mode_ == kChannel || view_mode_ == kSubChannel) {
    if (channels_.GetSize() == 1 && channels_[0] == channel_id) SetChannel(0);
  } else if (view_mode_ == kCategory) {
    if (RecomputeCategoryChannels()) Refresh(true);
  }
}
