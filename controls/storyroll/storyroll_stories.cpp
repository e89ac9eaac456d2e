// Looking up the story behind a row: whether it still exists, the Vessik it carries (through
// the story an alert points at), and its address.
#include "ravlin/ravlin.h"
#include "story_text_rules.h"
#include "storyroll_ctrl.h"
#include "vinnet/service.h"

bool ReadVessikId(CService& channel, long index, long* vessik_id) {
  // Clients give it as an attribute or, in their story data, as a field.
  return channel.GetStoryAttribute(index, "Vessik Id", *vessik_id) || channel.GetStoryField(index, "Vessik Id", *vessik_id);
}

bool CStoryrollCtrl::StoryExists(DWORD channel_id, DWORD story_id) const {
  controls::ChannelModel model;
  return static_cast<bool>(controls::FindStory(model, channel_id, story_id));
}

bool CStoryrollCtrl::ResolveVessik(DWORD channel_id, DWORD story_id, DWORD* vessik_channel, DWORD* vessik_id) const {
  controls::ChannelModel model;
  controls::StoryLocation story = controls::FindStory(model, channel_id, story_id);
  if (!story) return false;
  if (channel_id == VINNET_ALERTS_CHANNEL_ID) {
    long target_channel = 0, target_story = 0;
    if (!story.channel->GetStoryAttribute(story.index, "Alert Channel Id", target_channel) ||
        !story.channel->GetStoryAttribute(story.index, "Alert Story Id", target_story)) {
      return false;
    }
    channel_id = static_cast<DWORD>(target_channel);
    story = controls::FindStory(model, channel_id, static_cast<DWORD>(target_story));
    if (!story) return false;
  }
  long vessik = 0;
  if (!ReadVessikId(*story.channel, story.index, &vessik)) return false;
  *vessik_channel = channel_id;
  *vessik_id = static_cast<DWORD>(vessik);
  return true;
}

std::string CStoryrollCtrl::GetStoryURL(DWORD channel_id, DWORD story_id) const {
  if (!libraries_attached()) return std::string();
  CString url;
  {
    controls::ChannelModel model;
    controls::StoryLocation story = controls::FindStory(model, channel_id, story_id);
    if (!story || !story.channel->GetStoryField(story.index, "URL", url) || url.empty()) return std::string();
  }
  DWORD vessik_channel = 0, vessik_id = 0;
  if (ResolveVessik(channel_id, story_id, &vessik_channel, &vessik_id)) {
    ::ZRAccessVessik(vessik_channel, vessik_id, 0xFFFFFFFF);
  }
  QMBuffer cached;
  const bool in_cache = ::ZRGetCachedURL(url.c_str(), cached) && cached.GetText()[0];
  const std::string location = in_cache ? std::string(cached.GetText()) : url;
  return storyroll::StripFileUrl(location);
}

bool CStoryrollCtrl::FireBefore(DISPID event, const StoryRowRecord& story) {
  cancel_ = VARIANT_FALSE;
  FireEvent(event, static_cast<long>(story.channel_id), static_cast<long>(story.story_id));
  return cancel_ == VARIANT_FALSE;
}
