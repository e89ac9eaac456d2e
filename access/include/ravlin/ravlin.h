// The exported functions of Ravlin, the client access library: start and stop, notification
// callbacks, and one plain function for every thing the user-interface modules ask of the
// Zorvane client. Every function returns 1 (nonzero) for success and 0 for failure unless its
// comment says otherwise; none lets an exception out. Objects returned carry one reference
// that the caller releases; buffers and lists passed in belong to the caller.
#pragma once

#include <windows.h>

#include "ravlin/containers.h"
#include "zorvane.h"

// The single-bit notification kinds raised to registered callbacks.
enum ZRNOTIFICATION_TYPES : unsigned long {
  ZRNOTIFY_CLIENT_SHUTDOWN = 0x1,
  ZRNOTIFY_CHANNEL_ADDED = 0x2,
  ZRNOTIFY_CHANNEL_DELETED = 0x4,
  ZRNOTIFY_CHANNEL_LOGO_CHANGED = 0x80,
  ZRNOTIFY_STORIES_ADDED = 0x100,
  ZRNOTIFY_STORIES_DELETED = 0x200,
  ZRNOTIFY_STORY_READ = 0x400,
  ZRNOTIFY_STORY_UNREAD = 0x800,
  ZRNOTIFY_DIRECTORY_ENTRY_ADDED = 0x1000,
  ZRNOTIFY_DIRECTORY_ENTRY_DELETED = 0x2000,
  ZRNOTIFY_DIRECTORY_ENTRY_CHANGED = 0x4000,
  ZRNOTIFY_CHANNEL_CONTENT_CHANGED = 0x8000,
  ZRNOTIFY_STORY_DOWNLOADED = 0x20000,
  ZRNOTIFY_CHANNEL_CATEGORY_CHANGED = 0x40000,
  ZRNOTIFY_STORY_KEPT = 0x80000,
  ZRNOTIFY_STORY_UNKEPT = 0x100000,
  ZRNOTIFY_CHANNEL_STATE_CHANGED = 0x200000,
  ZRNOTIFY_DIRECTORY_ENTRY_SUBSCRIBED = 0x400000,
  ZRNOTIFY_DIRECTORY_ENTRY_UNSUBSCRIBED = 0x800000,
  ZRNOTIFY_CHANNEL_ACTIVE_CHANGED = 0x1000000,
  ZRNOTIFY_CHANNEL_FLAGS_CHANGED = 0x2000000,
  ZRNOTIFY_DOWNLOAD_ENABLED_CHANGED = 0x4000000,
  ZRNOTIFY_CHANNEL_NAME_CHANGED = 0x8000000,
  ZRNOTIFY_STORY_COUNTER_CHANGED = 0x10000000,
};

// A notification callback. id is a channel id or a directory entry id as the kind says; list
// is 0 or the address of a DATA_LIST of story ids, valid only during the call. Unused
// arguments are 0. Callbacks run with the library lock held and may call the library again.
// A structured exception raised in a callback is caught and the next callback is called; a C++
// exception must not leave a callback of another module (each module has its own unwinder,
// which cannot pass through this library's frames, and the process would end).
typedef void (*ZRNOTIFICATION_CALLBACK)(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id,
                                        const char* text2, DWORD vessik_id, DWORD story_id, DWORD list);

// The command record through which most operations run, on the calling thread or on the
// library thread. Filled with zeros before use.
struct RavlinCommand {
  DWORD opcode;
  LONG result;  // 0 until the operation succeeds
  char event_name[32];
  DWORD arguments[4];
};

extern "C" {

// Start and stop (one RavlinDeinitialize for every successful RavlinInitialize).
RAVLIN_API int RavlinInitialize(int parameter);
RAVLIN_API void RavlinDeinitialize();

// Notifications.
RAVLIN_API int ZRInitializeNotificationHandlers();
RAVLIN_API int ZRRegisterNotificationCallback(unsigned long mask, ZRNOTIFICATION_CALLBACK callback);
RAVLIN_API int ZRUnRegisterNotificationCallback(ZRNOTIFICATION_CALLBACK callback);

// Subscriptions through the channel directory.
RAVLIN_API int ZRSubscribeToChannel(HWND parent, DWORD entry_id);
RAVLIN_API int ZRUnsubscribeToChannel(HWND parent, DWORD entry_id);
RAVLIN_API int ZRShowChannelSettings(HWND parent, DWORD entry_id);
RAVLIN_API int ZRLookupSubscribedChannelID(DWORD entry_id, DWORD* channel_id);
// Appends one new CSiteObj (owned by the caller) per directory entry.
RAVLIN_API int ZRPimboBuildDirectoryEntryList(DATA_LIST* entries);
RAVLIN_API ICHANNELINFO* ZRGetChannelInfoFromDir(DWORD entry_id);
RAVLIN_API int ZRUnsubscribeToSubscribedChannel(HWND parent, DWORD channel_id);
RAVLIN_API int ZRLookupDirectoryEntryID(DWORD channel_id, DWORD* entry_id);

// Channels.
RAVLIN_API int ZRShowChannelPropertiesDialog(HWND parent, DWORD channel_id);
RAVLIN_API int ZRNewChannel(HWND parent);
RAVLIN_API ICHANNELINFOLIST* ZREnumerateChannels();
RAVLIN_API ICHANNELINFO* ZRGetChannelInfo(DWORD channel_id);
// categories: names separated by ";".
RAVLIN_API int ZRSetChannelCategories(DWORD channel_id, const char* categories);
RAVLIN_API int ZRGetChannelSecuritySettings(DWORD channel_id, ESecurityMode* mode, ESecurityFlags* flags);
RAVLIN_API int ZRForceChannelConnection(DWORD channel_id);
RAVLIN_API int ZRGetChannelLogoFile(DWORD channel_id, QMBuffer& path);
RAVLIN_API int ZRGetChannelResourceFile(DWORD channel_id, const char* resource_name, QMBuffer& path);
RAVLIN_API int ZRGetChannelStatus(DWORD channel_id, QMBuffer& status);
RAVLIN_API int ZREnableChannel(DWORD channel_id, int enable);
RAVLIN_API int ZRIsChannelEnabled(DWORD channel_id, int* enabled);
RAVLIN_API int ZRShowChannelDirectory(HWND parent);

// Stories.
RAVLIN_API int ZRPlayStory(DWORD channel_id, DWORD story_id, HWND parent);
RAVLIN_API ICHANNELDATA2* ZRReadChannelData(DWORD channel_id);
RAVLIN_API int ZRMarkStoryRead(DWORD channel_id, DWORD story_id, EStoryReadFlags flags);
RAVLIN_API int ZRMarkStoryUnread(DWORD channel_id, DWORD story_id);
RAVLIN_API int ZRDeleteStory(DWORD channel_id, DWORD story_id);
RAVLIN_API int ZRKeepStory(DWORD channel_id, DWORD vessik_id, DWORD story_id, int keep);
RAVLIN_API int ZRDownloadStory(DWORD channel_id, DWORD story_id);
RAVLIN_API int ZRDeleteStories(DWORD channel_id, DATA_LIST& story_ids);
RAVLIN_API int ZRMarkStoriesRead(DWORD channel_id, DATA_LIST& story_ids, int read);

// Vessiks.
RAVLIN_API int ZRRecordUserInteraction(DWORD channel_id, DWORD vessik_id, long value);
RAVLIN_API int ZRPlayVessik(DWORD channel_id, DWORD vessik_id);
RAVLIN_API int ZRGetVessikSize(DWORD channel_id, DWORD vessik_id, unsigned long* size);
RAVLIN_API int ZRShowVessikProperties(HWND parent, DWORD channel_id, DWORD vessik_id);
RAVLIN_API int ZRAccessVessik(DWORD channel_id, DWORD vessik_id, DWORD minutes);
RAVLIN_API int ZRReplicateVessik(DWORD channel_id, DWORD vessik_id);
// Always returns 0; the answer is in approved.
RAVLIN_API int ZRAuthenticateVessik(HWND parent, DWORD channel_id, DWORD vessik_id, int* approved);

// The player ("animation").
RAVLIN_API int ZRShellURL(const char* url);
// name may be null.
RAVLIN_API int ZRGetLastAnimationInfo(DWORD* channel_id, DWORD* vessik_id, QMBuffer* name);
RAVLIN_API int ZRStopCurrentAnimation();
RAVLIN_API int ZRRemoveWallpaper();
RAVLIN_API int ZRCanReplayLastAnimation(int* can);
RAVLIN_API int ZRReplayLastAnimation();
RAVLIN_API int ZRIsAnimationPlaying(int* playing);

// Settings, dialogs and the client itself.
RAVLIN_API int ZRGlobalOptions(HWND parent);
RAVLIN_API int ZRAlertSettings(HWND parent);
RAVLIN_API int ZRFilterSettings(HWND parent);
RAVLIN_API int ZRQuickSetupOptions(HWND parent);
RAVLIN_API int ZRGetAutoplayEnabled(int* enabled);
RAVLIN_API int ZRSetAutoplayEnabled(int enabled);
RAVLIN_API int ZRGetDownloadEnabled(int* enabled);
RAVLIN_API int ZRSetDownloadEnabled(int enabled);
RAVLIN_API int ZRGetWorkgroupRestrictions(unsigned long* restrictions);
RAVLIN_API int ZRShutdown();
RAVLIN_API int ZRGetProduct(unsigned short* major, unsigned short* minor, unsigned long* build);
RAVLIN_API int ZRGetWorkgroup(QMBuffer& workgroup);
RAVLIN_API int ZRGetReplicationEnabled(int* enabled);

// Direct functions, run in the calling thread without a command record.
RAVLIN_API int ZRIsInstalled();
// Serves DIRECTORY_PROGRAM, DIRECTORY_DATA, DIRECTORY_CACHE, DIRECTORY_TEMP and DIRECTORY_FILES.
RAVLIN_API int ZRGetDirectory(DIRECTORY_TYPES type, QMBuffer& path);
RAVLIN_API int ZRPerformHTTPGet(const char* url, const char* user_name, const char* password,
                                ECommunicationFlags flags, QMBuffer& reply, ECommunicationErrors* error);
RAVLIN_API int ZRPerformHTTPPost(const char* url, const char* header, const char* post_data,
                                 const char* user_name, const char* password, ECommunicationFlags flags,
                                 QMBuffer& reply, ECommunicationErrors* error);
RAVLIN_API int ZRIsURLCached(const char* url);
RAVLIN_API int ZRGetCachedURL(const char* url, QMBuffer& local_file);
RAVLIN_API int ZRGetChannelVariables(DWORD channel_id, BUFFER_LIST& names, TAGGED_MULTI_LIST& values);
RAVLIN_API int ZRSetChannelVariables(DWORD channel_id, TAGGED_MULTI_LIST& values);

}  // extern "C"

// The forms taking a URL already split into its server and path parts. Only one function of a
// name can have C linkage, so these are exported under their C++ names.
RAVLIN_API int ZRIsURLCached(const char* server, const char* path);
RAVLIN_API int ZRGetCachedURL(const char* server, const char* path, QMBuffer& local_file);
