// The controls' view of the channel model: a borrowed CServices held under the model lock for
// one scope, and the model's refresh messages registered once for the module.
#pragma once

#include <windows.h>

#include "vinnet/services.h"

namespace controls {

class ChannelModel {
 public:
  ChannelModel() : services_(::GetCServices()) {}
  ~ChannelModel() { ::ReleaseCServices(services_); }
  ChannelModel(const ChannelModel&) = delete;
  ChannelModel& operator=(const ChannelModel&) = delete;

  // Null when there is no model.
  CServices* get() const { return services_; }
  CServices* operator->() const { return services_; }
  explicit operator bool() const { return services_ != nullptr; }

  // The channel (the alerts channel included), null when unknown or without a model.
  CService* Channel(DWORD channel_id) const { return services_ ? services_->GetServiceByID(channel_id) : nullptr; }
  // The channel with its story data read, as a first look at its stories needs it.
  CService* LoadedChannel(DWORD channel_id) const {
    CService* channel = Channel(channel_id);
    if (channel && !channel->IsDataLoaded()) channel->LoadChannelData();
    return channel;
  }

 private:
  CServices* services_;
};

// The story at its index in the channel, located under the model lock.
struct StoryLocation {
  CService* channel = nullptr;
  long index = -1;
  explicit operator bool() const { return channel && index >= 0; }
};

inline StoryLocation FindStory(const ChannelModel& model, DWORD channel_id, DWORD story_id) {
  StoryLocation location;
  location.channel = model.LoadedChannel(channel_id);
  if (location.channel) location.index = location.channel->GetStoryIndex(story_id);
  return location;
}

struct RefreshMessages {
  UINT stories_deleted;
  UINT stories_attribute_changed;
  UINT channel_updated;
  UINT channel_added;
  UINT channel_deleted;
  UINT channel_attribute_changed;

  static const RefreshMessages& Get();
};

}  // namespace controls
