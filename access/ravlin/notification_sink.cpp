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

HRESULT NotificationSink::LoadTypeLibrary(ITypeLib** library) {
  return comsupport::LoadRegisteredTypeLibrary(LIBID_ZorvaneLib, 1, 0, library);
}

void NotificationSink::Register(IZorvane4* client) {
  root_ = ComPtr<IZorvane4>(client);
  if (!Ok(client->RegisterNotificationHandler(kRootEvents, static_cast<IAppNotificationHandler*>(this),
                                              &root_handle_)))
    root_handle_ = kNoHandle;
  if (Ok(client->get_Channels(channels_.put())) && channels_) {
    if (!Ok(channels_->RegisterNotificationHandler(
            kChannelEvents, static_cast<IChannelNotificationHandler*>(this), &channels_handle_)))
      channels_handle_ = kNoHandle;
  } else {
    channels_.reset();
  }
  if (Ok(client->get_AllStories(all_stories_.put())) && all_stories_) {
    if (!Ok(all_stories_->RegisterNotificationHandler(
            kStoryEvents, static_cast<IStoryNotificationHandler*>(this), &all_stories_handle_)))
      all_stories_handle_ = kNoHandle;
  } else {
    all_stories_.reset();
  }
  if (Ok(client->get_ChannelDirectory(directory_.put())) && directory_) {
    if (Ok(directory_->get_Entries(entries_.put())) && entries_) {
      if (!Ok(entries_->RegisterNotificationHandler(
              kDirectoryEvents, static_cast<IDirectoryNotificationHandler*>(this), &entries_handle_)))
        entries_handle_ = kNoHandle;
    } else {
      entries_.reset();
    }
  } else {
    directory_.reset();
  }
  if (Ok(client->get_Setup(setup_.put())) && setup_) {
    if (!Ok(setup_->RegisterNotificationHandler(kSetupEvents, static_cast<ISetupNotificationHandler*>(this),
                                                &setup_handle_)))
      setup_handle_ = kNoHandle;
  } else {
    setup_.reset();
  }
}

void NotificationSink::RevokeAll() {
  // Failures are of no consequence here: the client may already have gone.
  if (channels_ && channels_handle_ != kNoHandle) channels_->RevokeNotificationHandler(channels_handle_);
  if (all_stories_ && all_stories_handle_ != kNoHandle) all_stories_->RevokeNotificationHandler(all_stories_handle_);
  if (entries_ && entries_handle_ != kNoHandle) entries_->RevokeNotificationHandler(entries_handle_);
  directory_.reset();
  if (setup_ && setup_handle_ != kNoHandle) setup_->RevokeNotificationHandler(setup_handle_);
  if (root_ && root_handle_ != kNoHandle) root_->RevokeNotificationHandler(root_handle_);
  channels_handle_ = all_stories_handle_ = entries_handle_ = setup_handle_ = root_handle_ = kNoHandle;
  channels_.reset();
  all_stories_.reset();
  entries_.reset();
  setup_.reset();
  root_.reset();
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
