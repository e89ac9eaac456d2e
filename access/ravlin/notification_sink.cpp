#include "notification_sink.h"

#include <new>
#include <string>

#include "com_values.h"
#include "library_state.h"
#include "notifications.h"
#include "story_ids.h"

namespace ravlin {

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;

constexpr LONG kRootEvents = ZORVANE_EVENT_SHUTDOWN;
// name, active, current action, story counter, to be deleted, category, flags, logo time
// stamp, content changed
constexpr LONG kChannelEvents = 0x14411305;
// marked read, marked unread, downloaded, kept, unkept
constexpr LONG kStoryEvents = 0x1F;
constexpr LONG kDirectoryEvents = 0x1FFFFFFF;
// download enabled, user download enabled
constexpr LONG kSetupEvents = 0x2000008;

// The channel-changed rows, checked in this order; to-be-deleted has its own row first.
struct ChannelRow {
  LONG events;
  ZRNOTIFICATION_TYPES kind;
};
constexpr ChannelRow kChannelRows[] = {
    {CHN_EVENT_CURRENT_ACTION | CHN_EVENT_FLAGS, ZRNOTIFY_CHANNEL_STATE_CHANGED},
    {CHN_EVENT_ACTIVE, ZRNOTIFY_CHANNEL_ACTIVE_CHANGED},
    {CHN_EVENT_LOGO_TIME_STAMP, ZRNOTIFY_CHANNEL_LOGO_CHANGED},
    {CHN_EVENT_CATEGORY_CHANGED, ZRNOTIFY_CHANNEL_CATEGORY_CHANGED},
    {CHN_EVENT_NAME, ZRNOTIFY_CHANNEL_NAME_CHANGED},
    {CHN_EVENT_CONTENT_CHANGED, ZRNOTIFY_CHANNEL_CONTENT_CHANGED},
    {CHN_EVENT_FLAGS, ZRNOTIFY_CHANNEL_FLAGS_CHANGED},
    {CHN_EVENT_STORY_COUNTER_CHANGED, ZRNOTIFY_STORY_COUNTER_CHANGED},
};

constexpr struct {
  LONG bit;
  ZRNOTIFICATION_TYPES kind;
} kStoryRows[] = {
    {STORY_EVENT_MARKED_AS_READ, ZRNOTIFY_STORY_READ},
    {STORY_EVENT_MARKED_AS_UNREAD, ZRNOTIFY_STORY_UNREAD},
    {STORY_EVENT_DOWNLOADED, ZRNOTIFY_STORY_DOWNLOADED},
    {STORY_EVENT_KEPT, ZRNOTIFY_STORY_KEPT},
    {STORY_EVENT_UNKEPT, ZRNOTIFY_STORY_UNKEPT},
};

void Complain(const char* text) {
  ::OutputDebugStringA((std::string("Ravlin: ") + text + "\n").c_str());
}

// Runs a handler body; nothing it throws reaches the client.
template <class Body>
HRESULT Handle(const char* what, Body body) {
  try {
    body();
  } catch (...) {
    Complain(what);
  }
  return S_OK;
}

// Raises the kind for one id (storyId) or for an array (list), as the ids came.
void RaiseForIds(ZRNOTIFICATION_TYPES kind, DWORD channel_id, const StoryIds& ids) {
  if (ids.single) {
    RaiseNotification(kind, nullptr, channel_id, 0, ids.id);
  } else {
    RaiseNotification(kind, nullptr, channel_id, 0, 0, &ids.list);
  }
}

}  // namespace

NotificationSink* NotificationSink::Create() { return new (std::nothrow) NotificationSink(); }

void* NotificationSink::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAppNotificationHandler)
    return static_cast<IAppNotificationHandler*>(this);
  if (iid == IID_IChannelNotificationHandler) return static_cast<IChannelNotificationHandler*>(this);
  if (iid == IID_IStoryNotificationHandler) return static_cast<IStoryNotificationHandler*>(this);
  if (iid == IID_IDirectoryNotificationHandler) return static_cast<IDirectoryNotificationHandler*>(this);
  if (iid == IID_ISetupNotificationHandler) return static_cast<ISetupNotificationHandler*>(this);
  return nullptr;
}

void NotificationSink::Register(IZorvane4* client) {
  // A source that cannot be had, or refuses the handler, is skipped.
  root_.Register(client, kRootEvents, static_cast<IAppNotificationHandler*>(this));
  ComPtr<IZorvaneChannelCollection> channels;
  if (Ok(client->get_Channels(channels.put())) && channels)
    channels_.Register(channels.get(), kChannelEvents, static_cast<IChannelNotificationHandler*>(this));
  ComPtr<IZorvaneAllStoryCollection> all_stories;
  if (Ok(client->get_AllStories(all_stories.put())) && all_stories)
    all_stories_.Register(all_stories.get(), kStoryEvents, static_cast<IStoryNotificationHandler*>(this));
  if (Ok(client->get_ChannelDirectory(directory_.put())) && directory_) {
    ComPtr<IZorvaneDirectoryEntryCollection> entries;
    if (Ok(directory_->get_Entries(entries.put())) && entries)
      entries_.Register(entries.get(), kDirectoryEvents, static_cast<IDirectoryNotificationHandler*>(this));
  } else {
    directory_.reset();
  }
  ComPtr<IZorvaneSetup> setup;
  if (Ok(client->get_Setup(setup.put())) && setup)
    setup_.Register(setup.get(), kSetupEvents, static_cast<ISetupNotificationHandler*>(this));
}

void NotificationSink::RevokeAll() {
  // Failures are of no consequence here: the client may already have gone.
  channels_.Revoke();
  all_stories_.Revoke();
  entries_.Revoke();
  directory_.reset();
  setup_.Revoke();
  root_.Revoke();
}

STDMETHODIMP NotificationSink::OnShutdown() {
  return Handle("shutdown notification failed", [] {
    SetClientGone(true);
    RaiseNotification(ZRNOTIFY_CLIENT_SHUTDOWN);
  });
}

STDMETHODIMP NotificationSink::OnChannelAdded(IZorvaneChannel* channel) {
  return Handle("channel-added notification failed", [&] {
    std::string name;
    LONG id = 0;
    if (channel) {
      Bstr text;
      if (Ok(channel->get_Name(text.put()))) name = text.Ansi();
      if (!Ok(channel->get_Id(&id))) id = 0;
    }
    RaiseNotification(ZRNOTIFY_CHANNEL_ADDED, name.c_str(), static_cast<DWORD>(id));
  });
}

STDMETHODIMP NotificationSink::OnChannelDeleted(LONG channel_id) {
  return Handle("channel-deleted notification failed",
                [&] { RaiseNotification(ZRNOTIFY_CHANNEL_DELETED, nullptr, static_cast<DWORD>(channel_id)); });
}

STDMETHODIMP NotificationSink::OnChannelChanged(IZorvaneChannel* channel, LONG events) {
  return Handle("channel-changed notification failed", [&] {
    LONG id = 0;
    if (!channel || !Ok(channel->get_Id(&id))) return;
    DWORD channel_id = static_cast<DWORD>(id);
    if (events & CHN_EVENT_TO_BE_DELETED) {
      LONG flags = 0;
      if (Ok(channel->get_Flags(&flags)) && (flags & CHN_FLAG_TO_BE_DELETED))
        RaiseNotification(ZRNOTIFY_CHANNEL_DELETED, nullptr, channel_id);
    }
    for (const ChannelRow& row : kChannelRows) {
      if (events & row.events) RaiseNotification(row.kind, "", channel_id);
    }
  });
}

STDMETHODIMP NotificationSink::OnStoriesAdded(LONG channel_id, VARIANT story_ids) {
  return Handle("stories-added notification failed", [&] {
    StoryIds ids;
    if (!ReadStoryIds(story_ids, ids)) {
      Complain("stories-added notification with story ids of an unknown form");
      return;
    }
    if (ids.single) {
      RaiseNotification(ZRNOTIFY_STORIES_ADDED, nullptr, static_cast<DWORD>(channel_id), 0, ids.id);
      return;
    }
    for (long i = 0; i < ids.list.GetCount(); ++i)
      RaiseNotification(ZRNOTIFY_STORIES_ADDED, nullptr, static_cast<DWORD>(channel_id), 0, ids.list.GetAt(i));
  });
}

STDMETHODIMP NotificationSink::OnStoriesDeleted(LONG channel_id, VARIANT story_ids) {
  return Handle("stories-deleted notification failed", [&] {
    StoryIds ids;
    if (!ReadStoryIds(story_ids, ids)) {
      Complain("stories-deleted notification with story ids of an unknown form");
      return;
    }
    RaiseForIds(ZRNOTIFY_STORIES_DELETED, static_cast<DWORD>(channel_id), ids);
  });
}

STDMETHODIMP NotificationSink::OnStoriesChanged(LONG channel_id, VARIANT story_ids, LONG events) {
  return Handle("stories-changed notification failed", [&] {
    if (events == STORY_EVENT_ALL) return;
    StoryIds ids;
    if (!ReadStoryIds(story_ids, ids)) {
      Complain("stories-changed notification with story ids of an unknown form");
      return;
    }
    for (const auto& row : kStoryRows) {
      if (events & row.bit) RaiseForIds(row.kind, static_cast<DWORD>(channel_id), ids);
    }
  });
}

STDMETHODIMP NotificationSink::OnEntryAdded(LONG entry_id) {
  return Handle("entry-added notification failed", [&] {
    if (static_cast<DWORD>(entry_id) >= 1)
      RaiseNotification(ZRNOTIFY_DIRECTORY_ENTRY_ADDED, nullptr, static_cast<DWORD>(entry_id));
  });
}

STDMETHODIMP NotificationSink::OnEntryDeleted(LONG entry_id) {
  return Handle("entry-deleted notification failed", [&] {
    RaiseNotification(ZRNOTIFY_DIRECTORY_ENTRY_DELETED, nullptr, static_cast<DWORD>(entry_id));
  });
}

STDMETHODIMP NotificationSink::OnEntryChanged(LONG entry_id, LONG events) {
  return Handle("entry-changed notification failed", [&] {
    ZRNOTIFICATION_TYPES kind = ZRNOTIFY_DIRECTORY_ENTRY_CHANGED;
    if (events == DIR_EVENT_SUBSCRIBED) kind = ZRNOTIFY_DIRECTORY_ENTRY_SUBSCRIBED;
    if (events == DIR_EVENT_UNSUBSCRIBED) kind = ZRNOTIFY_DIRECTORY_ENTRY_UNSUBSCRIBED;
    RaiseNotification(kind, nullptr, static_cast<DWORD>(entry_id));
  });
}

STDMETHODIMP NotificationSink::OnSetupChanged(LONG events) {
  return Handle("setup notification failed", [&] {
    if (events == SETUP_EVENT_DOWNLOAD_ENABLED || events == SETUP_EVENT_USER_DOWNLOAD_ENABLED)
      RaiseNotification(ZRNOTIFY_DOWNLOAD_ENABLED_CHANGED);
  });
}

}  // namespace ravlin
