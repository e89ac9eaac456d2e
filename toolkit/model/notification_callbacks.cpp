#include "notification_callbacks.h"

#include <atomic>
#include <memory>

#include "qm/collections.h"
#include "ravlin/ravlin.h"
#include "refresh_messages.h"

namespace vinnet {

namespace {

constexpr unsigned long kChannelMask = 0x1B248086;
constexpr unsigned long kStoryMask = 0x1A0E00;

std::atomic<HWND> target{nullptr};
std::atomic<bool> registered{false};

UINT ChannelMessageOf(ZRNOTIFICATION_TYPES kind) {
  switch (kind) {
    case ZRNOTIFY_CHANNEL_ADDED: return kChannelAdded;
    case ZRNOTIFY_CHANNEL_DELETED: return kChannelDeleted;
    case ZRNOTIFY_CHANNEL_CONTENT_CHANGED: return kChannelContentChanged;
    case ZRNOTIFY_CHANNEL_LOGO_CHANGED: return kChannelLogoChanged;
    case ZRNOTIFY_CHANNEL_CATEGORY_CHANGED: return kChannelCategoryChanged;
    case ZRNOTIFY_CHANNEL_STATE_CHANGED: return kChannelStateChanged;
    case ZRNOTIFY_CHANNEL_ACTIVE_CHANGED: return kChannelActiveChanged;
    case ZRNOTIFY_CHANNEL_FLAGS_CHANGED: return kChannelFlagsChanged;
    case ZRNOTIFY_CHANNEL_NAME_CHANGED: return kChannelNameChanged;
    case ZRNOTIFY_STORY_COUNTER_CHANGED: return kStoryCounterChanged;
    default: return 0;
  }
}

UINT StoryMessageOf(ZRNOTIFICATION_TYPES kind) {
  switch (kind) {
    case ZRNOTIFY_STORIES_DELETED: return kStoriesDeleted;
    case ZRNOTIFY_STORY_READ: return kStoriesRead;
    case ZRNOTIFY_STORY_UNREAD: return kStoriesUnread;
    case ZRNOTIFY_STORY_KEPT: return kStoriesKept;
    case ZRNOTIFY_STORY_UNKEPT: return kStoriesUnkept;
    case ZRNOTIFY_STORY_DOWNLOADED: return kStoriesDownloaded;
    default: return 0;
  }
}

// Posts to the refresh window; the payload is freed here when the post fails.
void Post(UINT message, DWORD channel_id, LPARAM payload) {
  HWND window = target.load();
  if (!window || !::PostMessageA(window, message, channel_id, payload)) FreeMessagePayload(message, payload);
}

// These run on the access library's thread, under its lock. Nothing may leave them: that
// library cannot unwind a C++ exception of this module.
void ChannelCallback(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char*, DWORD, DWORD, DWORD) {
  try {
    const UINT message = ChannelMessageOf(kind);
    if (!message) return;
    LPARAM payload = 0;
    if (message == kChannelAdded) payload = reinterpret_cast<LPARAM>(new CString(name ? name : ""));
    Post(message, id, payload);
  } catch (...) {
  }
}

void StoryCallback(ZRNOTIFICATION_TYPES kind, const char*, DWORD id, const char*, DWORD, DWORD story_id, DWORD list) {
  try {
    const UINT message = StoryMessageOf(kind);
    if (!message) return;
    auto ids = std::make_unique<DATA_LIST>(16);
    if (const DATA_LIST* given = reinterpret_cast<const DATA_LIST*>(list)) {
      for (long index = 0; index < given->GetCount(); ++index) ids->Add(given->GetAt(index));
    } else if (story_id) {
      ids->Add(story_id);
    }
    if (ids->GetCount() == 0) return;
    Post(message, id, reinterpret_cast<LPARAM>(ids.release()));
  } catch (...) {
  }
}

}  // namespace

bool RegisterNotificationCallbacks(HWND window) {
  target.store(window);
  const bool channels = ZRRegisterNotificationCallback(kChannelMask, ChannelCallback) != 0;
  const bool stories = ZRRegisterNotificationCallback(kStoryMask, StoryCallback) != 0;
  registered.store(true);
  return channels && stories;
}

void UnregisterNotificationCallbacks() {
  if (!registered.exchange(false)) return;
  ZRUnRegisterNotificationCallback(ChannelCallback);
  ZRUnRegisterNotificationCallback(StoryCallback);
  target.store(nullptr);
}

}  // namespace vinnet
