// Finding the client's objects the operations work on. Each returns an empty pointer when any
// call on the way fails.
#pragma once

#include <windows.h>

#include "comsupport/com_ptr.h"
#include "zorvane.h"

namespace ravlin {

// Channels, Item with the id as a 32-bit integer, as IZorvaneChannel4_2.
comsupport::ComPtr<IZorvaneChannel4_2> FindChannel(IZorvane4* client, DWORD channel_id);
// The channel's Stories, Item by story id.
comsupport::ComPtr<IZorvaneStory> FindStory(IZorvaneChannel* channel, DWORD story_id);
comsupport::ComPtr<IZorvaneStory> FindStory(IZorvane4* client, DWORD channel_id, DWORD story_id);
// The channel's Vessiks, Item by Vessik id.
comsupport::ComPtr<IZorvaneVessik> FindVessik(IZorvaneChannel* channel, DWORD vessik_id);
comsupport::ComPtr<IZorvaneVessik> FindVessik(IZorvane4* client, DWORD channel_id, DWORD vessik_id);
// ChannelDirectory, Entries, Item by entry id.
comsupport::ComPtr<IZorvaneDirectoryEntry> FindEntry(IZorvane4* client, DWORD entry_id);
// The entry's subscribed channel as IZorvaneChannel4_2.
comsupport::ComPtr<IZorvaneChannel4_2> EntryChannel(IZorvaneDirectoryEntry* entry);

comsupport::ComPtr<IZorvaneSetup> SetupOf(IZorvane4* client);
// Setup, General.
comsupport::ComPtr<IZorvaneGeneralSettings> GeneralSettingsOf(IZorvane4* client);
comsupport::ComPtr<IZorvanePlayer> PlayerOf(IZorvane4* client);
comsupport::ComPtr<IZorvaneCommunications> CommunicationsOf(IZorvane4* client);

}  // namespace ravlin
