// The operations behind the opcodes, one family per file. Each takes the command record
// (arguments in its words, in the exported function's order) and returns the result word.
#pragma once

#include "ravlin/ravlin.h"

namespace ravlin {

// directory_operations.cpp
LONG SubscribeToChannel(RavlinCommand& command);
LONG UnsubscribeToChannel(RavlinCommand& command);
LONG ShowChannelSettings(RavlinCommand& command);
LONG LookupSubscribedChannelId(RavlinCommand& command);
LONG GetChannelInfoFromDir(RavlinCommand& command);
LONG UnsubscribeToSubscribedChannel(RavlinCommand& command);
LONG LookupDirectoryEntryId(RavlinCommand& command);
// directory_list.cpp
LONG BuildDirectoryEntryList(RavlinCommand& command);

// channel_operations.cpp
LONG ShowChannelPropertiesDialog(RavlinCommand& command);
LONG NewChannel(RavlinCommand& command);
LONG EnumerateChannels(RavlinCommand& command);
LONG GetChannelInfo(RavlinCommand& command);
LONG SetChannelCategories(RavlinCommand& command);
LONG GetChannelSecuritySettings(RavlinCommand& command);
LONG ForceChannelConnection(RavlinCommand& command);
LONG GetChannelLogoFile(RavlinCommand& command);
LONG GetChannelResourceFile(RavlinCommand& command);
LONG GetChannelStatus(RavlinCommand& command);
LONG EnableChannel(RavlinCommand& command);
LONG IsChannelEnabled(RavlinCommand& command);
LONG ShowChannelDirectory(RavlinCommand& command);

// story_operations.cpp
LONG PlayStory(RavlinCommand& command);
LONG ReadChannelData(RavlinCommand& command);
LONG MarkStoryRead(RavlinCommand& command);
LONG MarkStoryUnread(RavlinCommand& command);
LONG DeleteStory(RavlinCommand& command);
LONG DownloadStory(RavlinCommand& command);
LONG DeleteStories(RavlinCommand& command);
LONG MarkStoriesRead(RavlinCommand& command);
// The channel's story data (all stories, array format); null when it cannot be read.
ICHANNELDATA2* ReadChannelDataOf(IZorvaneChannel2* channel);
// keep_story.cpp
LONG KeepStory(RavlinCommand& command);

// vessik_operations.cpp
LONG RecordUserInteraction(RavlinCommand& command);
LONG PlayVessik(RavlinCommand& command);
LONG GetVessikSize(RavlinCommand& command);
LONG ShowVessikProperties(RavlinCommand& command);
LONG AccessVessik(RavlinCommand& command);
LONG AuthenticateVessik(RavlinCommand& command);
// replication.cpp
LONG ReplicateVessik(RavlinCommand& command);

// player_operations.cpp
LONG ShellUrl(RavlinCommand& command);
LONG GetLastAnimationInfo(RavlinCommand& command);
LONG StopCurrentAnimation(RavlinCommand& command);
LONG RemoveWallpaper(RavlinCommand& command);
LONG CanReplayLastAnimation(RavlinCommand& command);
LONG ReplayLastAnimation(RavlinCommand& command);
LONG IsAnimationPlaying(RavlinCommand& command);

// settings_operations.cpp
LONG GlobalOptions(RavlinCommand& command);
LONG AlertSettings(RavlinCommand& command);
LONG FilterSettings(RavlinCommand& command);
LONG QuickSetupOptions(RavlinCommand& command);
LONG ProgramDirectory(RavlinCommand& command);
LONG DataDirectory(RavlinCommand& command);
LONG GetAutoplayEnabled(RavlinCommand& command);
LONG SetAutoplayEnabled(RavlinCommand& command);
LONG GetDownloadEnabled(RavlinCommand& command);
LONG SetDownloadEnabled(RavlinCommand& command);
LONG GetWorkgroupRestrictions(RavlinCommand& command);
LONG Shutdown(RavlinCommand& command);
LONG GetProduct(RavlinCommand& command);
LONG GetWorkgroup(RavlinCommand& command);
LONG GetReplicationEnabled(RavlinCommand& command);

}  // namespace ravlin
