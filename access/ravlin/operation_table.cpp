// Which operation each opcode names.
#include "command.h"
#include "operations.h"

namespace ravlin {

Operation FindOperation(DWORD opcode) {
  switch (opcode) {
    case kOpSubscribeToChannel: return SubscribeToChannel;
    case kOpUnsubscribeToChannel: return UnsubscribeToChannel;
    case kOpShowChannelSettingsOld:  // the same code as op 12
    case kOpShowChannelSettings: return ShowChannelSettings;
    case kOpLookupSubscribedChannelId: return LookupSubscribedChannelId;
    case kOpBuildDirectoryEntryList: return BuildDirectoryEntryList;
    case kOpShowChannelPropertiesDialog: return ShowChannelPropertiesDialog;
    case kOpGlobalOptions: return GlobalOptions;
    case kOpAlertSettings: return AlertSettings;
    case kOpFilterSettings: return FilterSettings;
    case kOpPlayStory: return PlayStory;
    case kOpNewChannel: return NewChannel;
    case kOpEnumerateChannels: return EnumerateChannels;
    case kOpGetChannelInfoFromDir: return GetChannelInfoFromDir;
    case kOpGetChannelInfo: return GetChannelInfo;
    case kOpSetChannelCategories: return SetChannelCategories;
    case kOpUnsubscribeToSubscribedChannel: return UnsubscribeToSubscribedChannel;
    case kOpGetChannelSecuritySettings: return GetChannelSecuritySettings;
    case kOpProgramDirectory: return ProgramDirectory;
    case kOpDataDirectory: return DataDirectory;
    case kOpReadChannelData: return ReadChannelData;
    case kOpMarkStoryRead: return MarkStoryRead;
    case kOpMarkStoryUnread: return MarkStoryUnread;
    case kOpDeleteStory: return DeleteStory;
    case kOpKeepStory: return KeepStory;
    case kOpDownloadStory: return DownloadStory;
    case kOpForceChannelConnection: return ForceChannelConnection;
    case kOpShellUrl: return ShellUrl;
    case kOpGetChannelLogoFile: return GetChannelLogoFile;
    case kOpGetChannelResourceFile: return GetChannelResourceFile;
    case kOpGetAutoplayEnabled: return GetAutoplayEnabled;
    case kOpSetAutoplayEnabled: return SetAutoplayEnabled;
    case kOpGetDownloadEnabled: return GetDownloadEnabled;
    case kOpSetDownloadEnabled: return SetDownloadEnabled;
    case kOpGetWorkgroupRestrictions: return GetWorkgroupRestrictions;
    case kOpRecordUserInteraction: return RecordUserInteraction;
    case kOpShutdown: return Shutdown;
    case kOpGetChannelStatus: return GetChannelStatus;
    case kOpDeleteStories: return DeleteStories;
    case kOpGetProduct: return GetProduct;
    case kOpGetWorkgroup: return GetWorkgroup;
    case kOpMarkStoriesRead: return MarkStoriesRead;
    case kOpShowChannelDirectory: return ShowChannelDirectory;
    case kOpPlayVessik: return PlayVessik;
    case kOpGetLastAnimationInfo: return GetLastAnimationInfo;
    case kOpStopCurrentAnimation: return StopCurrentAnimation;
    case kOpRemoveWallpaper: return RemoveWallpaper;
    case kOpCanReplayLastAnimation: return CanReplayLastAnimation;
    case kOpReplayLastAnimation: return ReplayLastAnimation;
    case kOpIsAnimationPlaying: return IsAnimationPlaying;
    case kOpQuickSetupOptions: return QuickSetupOptions;
    case kOpEnableChannel: return EnableChannel;
    case kOpIsChannelEnabled: return IsChannelEnabled;
    case kOpGetVessikSize: return GetVessikSize;
    case kOpLookupDirectoryEntryId: return LookupDirectoryEntryId;
    case kOpShowVessikProperties: return ShowVessikProperties;
    case kOpAccessVessik: return AccessVessik;
    case kOpReplicateVessik: return ReplicateVessik;
    case kOpGetReplicationEnabled: return GetReplicationEnabled;
    case kOpAuthenticateVessik: return AuthenticateVessik;
    default: return nullptr;
  }
}

}  // namespace ravlin
