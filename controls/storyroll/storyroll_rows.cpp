// The rows of the story list: the full refresh, one row per listed story with its cells and
// summary, the placeholder row, and the row records.
#include <cstdio>

#include "ravlin/ravlin.h"
#include "redraw_off.h"
#include "story_text_rules.h"
#include "storyroll_ctrl.h"
#include "vinnet/helpers.h"
#include "vinnet/service.h"

namespace {

constexpr char kPlaceholderText[] = "No content at this time.";

}  // namespace

const StoryRowRecord* CStoryrollCtrl::Record(int row) const {
  return reinterpret_cast<const StoryRowRecord*>(grid_.GetItemData(row));
}

bool CStoryrollCtrl::OnlyPlaceholder() const {
  if (grid_.GetItemCount() != 1) return false;
  const StoryRowRecord* record = Record(0);
  return record && record->channel_id == 0 && record->story_id == 0;
}

int CStoryrollCtrl::FindRow(DWORD channel_id, DWORD story_id) const {
  const int count = grid_.GetItemCount();
  for (int row = 0; row < count; ++row) {
    const StoryRowRecord* record = Record(row);
    if (record && record->channel_id == channel_id && record->story_id == story_id) return row;
  }
  return -1;
}

std::vector<StoryRowRecord> CStoryrollCtrl::SelectedStories() const {
  std::vector<StoryRowRecord> stories;
  if (!has_grid()) return stories;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  for (DWORD row : selected) {
    const StoryRowRecord* record = Record(static_cast<int>(row));
    if (record && record->channel_id) stories.push_back(*record);
  }
  return stories;
}

const StoryRowRecord* CStoryrollCtrl::SingleSelection() const {
  if (!has_grid() || grid_.GetSelectedCount() != 1) return nullptr;
  CDWordArray selected;
  grid_.GetSelectedItems(selected);
  if (selected.IsEmpty()) return nullptr;
  const StoryRowRecord* record = Record(static_cast<int>(selected[0]));
  return record && record->channel_id ? record : nullptr;
}

void CStoryrollCtrl::Refresh(bool keep_selection) {
  if (!live()) return;
  ::KillTimer(window(), kUpdateTimer);
  pending_updates_ = 0;

  std::vector<StoryRowRecord> remembered;
  if (keep_selection) remembered = SelectedStories();

  grid_.DeleteAllItems();
  HCURSOR cursor = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  {
    RedrawOff quiet(grid_.GetSafeHwnd());
    {
      controls::ChannelModel model;
      for (DWORD channel_id : channels_) {
        if (CService* channel = model.LoadedChannel(channel_id)) AddChannelStories(*channel);
      }
    }
    grid_.SortItems();
    if (!remembered.empty()) {
      CDWordArray rows;
      for (const StoryRowRecord& story : remembered) {
        const int row = FindRow(story.channel_id, story.story_id);
        if (row >= 0) rows.Add(static_cast<DWORD>(row));
      }
      if (!rows.IsEmpty()) grid_.SetSelectedItems(rows);
    }
    if (grid_.GetItemCount() == 0) InsertPlaceholder();
  }
  RedrawList();
  if (grid_.GetSelectedCount() == 0) NextStory();
  FireEvent(3);
  ::SetCursor(cursor);
}

void CStoryrollCtrl::RedrawList() {
  ::RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE);
}

void CStoryrollCtrl::AddChannelStories(CService& channel) {
  const DWORD channel_id = channel.GetServiceID();
  const long count = channel.GetNoStories();
  for (long index = 0; index < count; ++index) {
    CString category;
    channel.GetStoryAttribute(index, "Category", category);
    category = storyroll::EscapeDoubleSlash(category);
    if (channel_id == VINNET_ALERTS_CHANNEL_ID) {
      CString alert_name;
      if (channel.GetStoryAttribute(index, "Alert Name", alert_name) && !alert_name.empty()) {
        if (!category.empty()) category += "/";
        category += alert_name;
      }
    }
    if (!storyroll::InSubChannel(category, sub_channel_)) continue;
    long read = 0;
    channel.GetStoryAttribute(index, "Read", read);
    if (read && unread_only_) continue;
    FillRow(grid_.GetItemCount(), channel, index, true);
  }
}

bool CStoryrollCtrl::FillRow(int row, CService& channel, long index, bool insert) {
  long read = 0;
  if (!channel.GetStoryAttribute(index, "Read", read)) read = 0;
  const DWORD row_flag = read ? 0 : SGF_BOLD;
  const DWORD summary_flag = (read || !embedded_summaries_) ? SGF_HIDESUMMARY : 0;
  for (size_t column = 0; column < columns_.size(); ++column) {
    const int kind = columns_[column];
    const bool text = kind == kContent || kind == kReceived;
    CString cell;
    int image = -1;
    if (kind == kContent) {
      cell = channel.GetStoryHeadline(index);
    } else if (kind == kReceived) {
      channel.GetStoryUpdatedTime(index, cell);
    } else {
      image = CellImage(kind, channel, index);
    }
    if (column == 0 && insert) {
      row = text ? grid_.InsertItem(row, cell.c_str(), row_flag) : grid_.InsertItem(row, image, row_flag);
      if (row < 0) return false;
    } else if (text) {
      grid_.SetItem(row, static_cast<int>(column), cell.c_str(), row_flag);
    } else {
      grid_.SetItem(row, static_cast<int>(column), image, row_flag);
    }
  }
  if (insert) {
    auto* record = new StoryRowRecord{channel.GetServiceID(), channel.GetStoryId(index)};
    grid_.SetItemData(row, reinterpret_cast<DWORD>(record));
  }
  CString summary;
  channel.GetStoryField(index, "Text", summary);
  grid_.SetSummary(row, summary.c_str(), summary_flag);
  return true;
}

int CStoryrollCtrl::CellImage(int kind, CService& channel, long index) const {
  long value = 0;
  switch (kind) {
    case kAlerted:
      return channel.GetStoryAttribute(index, "Alerted", value) && value ? 3 : -1;
    case kAttachment:
      return HasCountingAttachment(channel, index) ? 1 : -1;
    case kSigned:
      return channel.GetStoryAttribute(index, "Vessik Signed", value) && value ? 5 : -1;
    default:
      return -1;
  }
}

bool CStoryrollCtrl::HasCountingAttachment(CService& channel, long index) const {
  for (int n = 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof(name), "Attachment URL %d", n);
    CString location;
    if (!channel.GetStoryAttribute(index, name, location)) return false;
    if (!location.empty() && !storyroll::IsLocalPath(location)) {
      QMBuffer cached;
      if (::ZRGetCachedURL(location.c_str(), cached) && cached.GetText()[0]) location = cached.GetText();
    }
    if (!storyroll::IsClientAttachment(storyroll::StripFileUrl(location))) return true;
  }
}

void CStoryrollCtrl::InsertPlaceholder() {
  int content = 0;
  while (content < static_cast<int>(columns_.size()) && columns_[content] != kContent) ++content;
  int row;
  if (content == 0) {
    row = grid_.InsertItem(0, kPlaceholderText, SGF_BOLD);
  } else {
    row = grid_.InsertItem(0, -1, SGF_BOLD);
    if (row >= 0) grid_.SetItem(row, content, kPlaceholderText, SGF_BOLD);
  }
  if (row >= 0) grid_.SetItemData(row, reinterpret_cast<DWORD>(new StoryRowRecord{0, 0}));
}

bool CStoryrollCtrl::RecomputeCategoryChannels() {
  CDWordArray members;
  {
    controls::ChannelModel model;
    if (model) {
      const int count = model->GetNoServices();
      for (int i = 0; i < count; ++i) {
        CService* channel = model->GetService(i);
        if (!channel) continue;
        CString category;
        channel->GetCategory(category, 0);
        if (storyroll::InCategory(category, category_)) members.Add(channel->GetServiceID());
      }
    }
  }
  bool changed = members.GetSize() != channels_.GetSize();
  for (DWORD id : members) {
    if (!changed && !IsOneOf(id, channels_)) changed = true;
  }
  if (changed) channels_.Copy(members);
  return changed;
}
