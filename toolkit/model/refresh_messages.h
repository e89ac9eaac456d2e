// The registered "REFRESHCODE_" messages and the window's private messages.
#pragma once

#include <windows.h>

namespace vinnet {

enum class RefreshCode {
  ChannelUpdated,
  ChannelAdded,
  ChannelDeleted,
  ChannelStatusChanged,
  ChannelAttributeChanged,
  ChannelActiveStateChanged,
  ChannelFlagsChanged,
  ChannelCounterChanged,
  StoriesDeleted,
  StoriesAttributeChanged,
};

// Registers all ten (the same ids in every module and thread).
void RegisterRefreshMessages();
// The registered id, registering it on first use; 0 when registration fails.
UINT RefreshMessage(RefreshCode code);

// What the notification callbacks post to the refresh window; wParam is the channel id.
enum PrivateMessage : UINT {
  kChannelContentChanged = 3024,
  kChannelAdded = 3025,  // lParam: a CString* with the channel's name, freed by the handler
  kChannelDeleted = 3026,
  kChannelLogoChanged = 3027,
  kChannelCategoryChanged = 3028,
  kChannelStateChanged = 3029,
  kChannelActiveChanged = 3030,
  kChannelFlagsChanged = 3031,
  kChannelNameChanged = 3032,
  kStoryCounterChanged = 3033,
  // lParam of the story messages: a DATA_LIST* of story ids, freed by the handler.
  kStoriesDeleted = 3129,
  kStoriesRead = 3130,
  kStoriesUnread = 3131,
  kStoriesKept = 3132,
  kStoriesUnkept = 3133,
  kStoriesDownloaded = 3134,
};

inline bool IsChannelMessage(UINT message) { return message >= kChannelContentChanged && message <= kStoryCounterChanged; }
inline bool IsStoryMessage(UINT message) { return message >= kStoriesDeleted && message <= kStoriesDownloaded; }

// Frees what a private message carries (after handling, or when it is never handled).
void FreeMessagePayload(UINT message, LPARAM lparam);

}  // namespace vinnet
