// What the list shows (a channel, a subchannel or a category of channels) and moving through it.
#include "storyroll_ctrl.h"

long CStoryrollCtrl::SelectedStoryIndex() const {
  if (!has_grid()) return -1;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  if (selected.IsEmpty()) return -1;
  if (selected.GetSize() == 1 && OnlyPlaceholder()) return -1;
  return static_cast<long>(selected[0]);
}

long CStoryrollCtrl::NumStories() const {
  if (!has_grid() || OnlyPlaceholder()) return 0;
  return grid_.GetItemCount();
}

bool CStoryrollCtrl::PreviousStory() {
  if (!has_grid() || grid_.GetItemCount() == 0) return false;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  const long target = selected.IsEmpty() ? 0 : static_cast<long>(selected[0]) - 1;
  if (target < 0) return false;
  return grid_.SetSelectedItem(target) != FALSE;
}

bool CStoryrollCtrl::NextStory() {
  if (!has_grid() || grid_.GetItemCount() == 0) return false;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  const long target = selected.IsEmpty() ? 0 : static_cast<long>(selected[0]) + 1;
  if (target >= grid_.GetItemCount()) return false;
  return grid_.SetSelectedItem(target) != FALSE;
}

bool CStoryrollCtrl::SetChannel(DWORD channel_id) {
  channels_.RemoveAll();
  channels_.Add(channel_id);
  sub_channel_.clear();
  category_.clear();
  view_mode_ = kChannel;
  Refresh(false);
  return true;
}

bool CStoryrollCtrl::SetSubChannel(DWORD channel_id, const std::string& sub_channel) {
  channels_.RemoveAll();
  channels_.Add(channel_id);
  sub_channel_ = sub_channel;
  category_.clear();
  view_mode_ = kSubChannel;
  Refresh(false);
  return true;
}

bool CStoryrollCtrl::SetCategory(const std::string& category) {
  sub_channel_.clear();
  category_ = category;
  view_mode_ = kCategory;
  RecomputeCategoryChannels();
  Refresh(false);
  return true;
}
