// The commands of the story list: their enable rules, the context menu, and each action on
// the selected stories through the access library.
#include "ravlin/ravlin.h"
#include "storyroll_ctrl.h"
#include "vinnet/mapi_message.h"
#include "vinnet/story_bucket.h"
#include "vinnet/story_caps.h"

namespace {

enum Command : UINT {
  kPlaceFiles = 61304,
  kMail = 61302,
  kPlay = 32824,
  kFullStory = 32806,
  kMarkRead = 32801,
  kMarkUnread = 32802,
  kDelete = 32805,
  kKeep = 32820,
  kDownload = 32831,
  kProperties = 32822,
};

// Capability request bits, each answered in the record's field of that bit.
enum Capability : DWORD {
  kMayPlay = 0x1,
  kHasFullStory = 0x2,
  kMayDelete = 0x8,
  kMayDownload = 0x10,
  kMayKeep = 0x20,
  kHasProperties = 0x40,
  kMayMail = 0x80,
  kMayPlace = 0x100,
  kAllCapabilities = 0x1FF,
};

DWORD CapabilityField(const tagStoryCaps& caps, DWORD bit) {
  switch (bit) {
    case 0x1: return caps.canPlayVessik;
    case 0x2: return caps.hasLink;
    case 0x4: return caps.hasSummary;
    case 0x8: return caps.canMail;
    case 0x10: return caps.canDownload;
    case 0x20: return caps.canKeep;
    case 0x40: return caps.hasVessik;
    case 0x80: return caps.hasIds;
    case 0x100: return caps.canReplicate;
    default: return 0;
  }
}

bool ReadCaps(const StoryRowRecord& story, DWORD mask, tagStoryCaps* caps) {
  *caps = {};
  caps->mask = mask;
  return ::GetStoryCaps(story.channel_id, story.story_id, caps) != 0;
}

bool Has(const StoryRowRecord& story, DWORD bit) {
  tagStoryCaps caps;
  return ReadCaps(story, bit, &caps) && CapabilityField(caps, bit) != 0;
}

// The selected stories grouped by channel, for the calls that take a list.
void ForEachChannel(const std::vector<StoryRowRecord>& stories, void (*act)(DWORD, DATA_LIST&, int), int argument) {
  CStoryBucket bucket;
  for (const StoryRowRecord& story : stories) bucket.AddStory(story.channel_id, story.story_id);
  for (int i = 0; i < bucket.GetNumStoryLists(); ++i) {
    DWORD channel = 0;
    DATA_LIST* list = nullptr;
    if (bucket.GetStoryList(i, channel, list) && list) act(channel, *list, argument);
  }
}

}  // namespace

bool CStoryrollCtrl::IsCommandEnabled(UINT id, bool* checked) const {
  *checked = false;
  const StoryRowRecord* one = SingleSelection();
  const bool several = has_grid() && grid_.GetSelectedCount() > 1;
  switch (id) {
    case kPlaceFiles:
      return one && Has(*one, kMayPlace);
    case kMail:
      return CMapiMessage::HasEmail() && one && Has(*one, kMayMail);
    case kPlay:
      return one && Has(*one, kMayPlay);
    case kFullStory:
      return one && Has(*one, kHasFullStory);
    case kMarkRead:
    case kMarkUnread: {
      if (several) return true;
      if (!one) return false;
      controls::ChannelModel model;
      controls::StoryLocation story = controls::FindStory(model, one->channel_id, one->story_id);
      long read = 0;
      if (!story) return false;
      story.channel->GetStoryAttribute(story.index, "Read", read);
      return id == kMarkRead ? read == 0 : read != 0;
    }
    case kDelete:
      return several || (one && Has(*one, kMayDelete));
    case kKeep: {
      if (!one) return false;
      tagStoryCaps caps;
      if (!ReadCaps(*one, kMayKeep, &caps)) return false;
      *checked = caps.isKept != 0;
      return caps.canKeep != 0;
    }
    case kDownload:
      for (const StoryRowRecord& story : SelectedStories()) {
        if (Has(story, kMayDownload)) return true;
      }
      return false;
    case kProperties:
      return one && Has(*one, kHasProperties);
    default:
      return false;
  }
}

void CStoryrollCtrl::OnCommand(UINT id) {
  bool checked = false;
  // A command arrives from the menu or from a host: it runs only while its rule allows it.
  if (!live() || !IsCommandEnabled(id, &checked)) return;
  const StoryRowRecord* selected = SingleSelection();
  const StoryRowRecord one = selected ? *selected : StoryRowRecord{0, 0};
  switch (id) {
    case kPlaceFiles:
      PlaceFiles(one);
      break;
    case kMail:
      ::MailStory(one.channel_id, one.story_id, window());
      break;
    case kPlay:
      Play(one);
      break;
    case kFullStory:
      FullStory(one);
      break;
    case kMarkRead:
      MarkSelected(true);
      break;
    case kMarkUnread:
      MarkSelected(false);
      break;
    case kDelete:
      DeleteSelected();
      break;
    case kKeep:
      KeepStory(one);
      break;
    case kDownload:
      DownloadSelected();
      break;
    case kProperties:
      ShowProperties(one);
      break;
    default:
      break;
  }
}

void CStoryrollCtrl::ShowContextMenu() {
  if (!has_grid() || grid_.GetItemCount() == 0 || OnlyPlaceholder()) return;
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return;
  auto add = [&](UINT id, const char* text) {
    bool checked = false;
    const bool enabled = IsCommandEnabled(id, &checked);
    ::AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED) | (checked ? MF_CHECKED : 0), id, text);
  };
  bool checked = false;
  if (grid_.GetSelectedCount() == 1 && IsCommandEnabled(kPlaceFiles, &checked)) {
    add(kPlaceFiles, "&Place Files...");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  if (CMapiMessage::HasEmail()) add(kMail, "Send To &Mail Recipient...");
  add(kPlay, "&Play");
  add(kFullStory, "&Full Story");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  add(kMarkRead, "Mark as &Read");
  add(kMarkUnread, "Mark as &Unread");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  add(kDelete, "&Delete");
  add(kKeep, "&Keep");
  add(kDownload, "Down&load Full Story");
  add(kProperties, "Proper&ties...");
  const DWORD position = ::GetMessagePos();
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, static_cast<short>(LOWORD(position)),
                   static_cast<short>(HIWORD(position)), 0, window(), nullptr);
  ::DestroyMenu(menu);
}

void CStoryrollCtrl::Play(const StoryRowRecord& story) {
  if (!StoryExists(story.channel_id, story.story_id)) return;
  if (!FireBefore(8, story)) return;
  DWORD vessik_channel = 0, vessik_id = 0;
  if (!ResolveVessik(story.channel_id, story.story_id, &vessik_channel, &vessik_id)) return;
  ::ZRPlayVessik(vessik_channel, vessik_id);
  if (story.channel_id == VINNET_ALERTS_CHANNEL_ID) {
    ::ZRMarkStoryRead(story.channel_id, story.story_id, STORY_READ_DEFAULT);
  }
}

void CStoryrollCtrl::FullStory(const StoryRowRecord& story) {
  tagStoryCaps caps;
  if (!ReadCaps(story, kMayPlay | kHasFullStory, &caps)) return;
  cancel_ = VARIANT_FALSE;
  if (caps.hasLink) {
    if (!FireBefore(7, story)) return;
  } else if (caps.canPlayVessik) {
    if (!FireBefore(8, story)) return;
  }
  ::ZRPlayStory(story.channel_id, story.story_id, nullptr);
}

void CStoryrollCtrl::DeleteSelected() {
  const std::vector<StoryRowRecord> stories = SelectedStories();
  if (stories.empty()) return;
  if (::MessageBoxA(window(), "Are you sure you want to delete the selected item(s) permanently?",
                    "Delete Confirmation", MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  ForEachChannel(stories, [](DWORD channel, DATA_LIST& list, int) { ::ZRDeleteStories(channel, list); }, 0);
}

void CStoryrollCtrl::MarkSelected(bool read) {
  ForEachChannel(SelectedStories(), [](DWORD channel, DATA_LIST& list, int read_flag) {
    ::ZRMarkStoriesRead(channel, list, read_flag);
  }, read ? TRUE : FALSE);
}

void CStoryrollCtrl::KeepStory(const StoryRowRecord& story) {
  long vessik = 0, keep = 0;
  {
    controls::ChannelModel model;
    controls::StoryLocation location = controls::FindStory(model, story.channel_id, story.story_id);
    if (!location || !ReadVessikId(*location.channel, location.index, &vessik)) return;
    location.channel->GetStoryAttribute(location.index, "Keep", keep);
  }
  ::ZRKeepStory(story.channel_id, static_cast<DWORD>(vessik), story.story_id, keep ? FALSE : TRUE);
}

void CStoryrollCtrl::DownloadSelected() {
  // Every selected story that may be downloaded: the command is offered for any of them.
  for (const StoryRowRecord& story : SelectedStories()) {
    if (Has(story, kMayDownload)) ::ZRDownloadStory(story.channel_id, story.story_id);
  }
}

void CStoryrollCtrl::ShowProperties(const StoryRowRecord& story) {
  long vessik = 0;
  {
    controls::ChannelModel model;
    controls::StoryLocation location = controls::FindStory(model, story.channel_id, story.story_id);
    if (!location || !ReadVessikId(*location.channel, location.index, &vessik)) return;
  }
  ::ZRShowVessikProperties(window(), story.channel_id, static_cast<DWORD>(vessik));
}

void CStoryrollCtrl::PlaceFiles(const StoryRowRecord& story) {
  DWORD vessik_channel = 0, vessik_id = 0;
  if (ResolveVessik(story.channel_id, story.story_id, &vessik_channel, &vessik_id)) {
    ::ZRReplicateVessik(vessik_channel, vessik_id);
  }
}

void CStoryrollCtrl::SelectAll() {
  if (has_grid()) grid_.SetSelectedItem(-1);
}
