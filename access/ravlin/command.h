// The command executor: runs a RavlinCommand's operation in the calling thread (mode 0) or on
// the library thread (mode 1, the calling thread dispatching its messages while it waits).
#pragma once

#include <initializer_list>

#include "ravlin/ravlin.h"

namespace ravlin {

enum Opcode : DWORD {
  kOpSubscribeToChannel = 1,
  kOpUnsubscribeToChannel = 2,
  kOpShowChannelSettingsOld = 3,
  kOpLookupSubscribedChannelId = 4,
  kOpBuildDirectoryEntryList = 5,
  kOpShowChannelPropertiesDialog = 6,
  kOpGlobalOptions = 7,
  kOpAlertSettings = 8,
  kOpFilterSettings = 9,
  kOpPlayStory = 10,
  kOpNewChannel = 11,
  kOpShowChannelSettings = 12,
  kOpEnumerateChannels = 13,
  kOpGetChannelInfoFromDir = 14,
  kOpGetChannelInfo = 15,
  kOpSetChannelCategories = 16,
  kOpUnsubscribeToSubscribedChannel = 17,
  kOpGetChannelSecuritySettings = 18,
  kOpProgramDirectory = 19,
  kOpDataDirectory = 20,
  kOpReadChannelData = 21,
  kOpMarkStoryRead = 22,
  kOpMarkStoryUnread = 23,
  kOpDeleteStory = 24,
  kOpKeepStory = 25,
  kOpDownloadStory = 26,
  kOpForceChannelConnection = 27,
  kOpShellUrl = 28,
  kOpGetChannelLogoFile = 29,
  kOpGetChannelResourceFile = 30,
  kOpGetAutoplayEnabled = 31,
  kOpSetAutoplayEnabled = 32,
  kOpGetDownloadEnabled = 33,
  kOpSetDownloadEnabled = 34,
  kOpGetWorkgroupRestrictions = 36,
  kOpRecordUserInteraction = 37,
  kOpShutdown = 38,
  kOpGetChannelStatus = 39,
  kOpDeleteStories = 40,
  kOpGetProduct = 41,
  kOpGetWorkgroup = 42,
  kOpMarkStoriesRead = 43,
  kOpShowChannelDirectory = 44,
  kOpPlayVessik = 45,
  kOpGetLastAnimationInfo = 46,
  kOpStopCurrentAnimation = 47,
  kOpRemoveWallpaper = 48,
  kOpCanReplayLastAnimation = 49,
  kOpReplayLastAnimation = 50,
  kOpIsAnimationPlaying = 51,
  kOpQuickSetupOptions = 52,
  kOpEnableChannel = 53,
  kOpIsChannelEnabled = 54,
  kOpGetVessikSize = 55,
  kOpLookupDirectoryEntryId = 56,
  kOpShowVessikProperties = 57,
  kOpAccessVessik = 58,
  kOpReplicateVessik = 59,
  kOpGetReplicationEnabled = 60,
  kOpAuthenticateVessik = 61,
};

enum CommandMode { kInCallingThread = 0, kOnLibraryThread = 1 };

// Runs the command in the given mode and returns its result word. A mode-1 command returns 0
// at once when the library thread cannot take it, and 0 when the thread ends before running it.
LONG ExecuteCommand(RavlinCommand& command, int mode);

// The executor proper, in the thread that calls it: result 0, the operation unless the client
// has gone, then the event named in the record (when one is) is set.
void RunCommand(RavlinCommand& command);

// Dispatches the calling thread's queued messages, leaving WM_QUIT queued; true when one is.
bool DispatchQueuedMessages();

// A zeroed record with the opcode and argument words.
RavlinCommand MakeCommand(DWORD opcode, std::initializer_list<DWORD> arguments = {});

// Word conversions for argument words.
template <class T>
DWORD Word(T* pointer) {
  return reinterpret_cast<DWORD>(pointer);
}
inline DWORD Word(HWND window) { return reinterpret_cast<DWORD>(window); }
template <class T>
T* PointerOf(DWORD word) {
  return reinterpret_cast<T*>(word);
}

// The operation of one opcode: returns the result word (1 for success); object results go
// into argument words. Null for an unknown opcode.
using Operation = LONG (*)(RavlinCommand& command);
Operation FindOperation(DWORD opcode);

}  // namespace ravlin
