#include "client_objects.h"

#include "com_values.h"

namespace ravlin {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

// A property getter that hands out an object: empty unless it succeeded with one.
template <class T, class Get>
ComPtr<T> Obtain(Get get) {
  ComPtr<T> object;
  if (!Ok(get(object.put()))) object.reset();
  return object;
}

Variant IdIndex(DWORD id) { return Variant(static_cast<long>(id)); }

}  // namespace

ComPtr<IZorvaneChannel4_2> FindChannel(IZorvane4* client, DWORD channel_id) {
  if (!client) return nullptr;
  auto channels = Obtain<IZorvaneChannelCollection>([&](auto** out) { return client->get_Channels(out); });
  if (!channels) return nullptr;
  auto channel = Obtain<IZorvaneChannel>([&](auto** out) { return channels->get_Item(*IdIndex(channel_id).get(), out); });
  return channel ? channel.As<IZorvaneChannel4_2>() : nullptr;
}

ComPtr<IZorvaneStory> FindStory(IZorvaneChannel* channel, DWORD story_id) {
  if (!channel) return nullptr;
  auto stories = Obtain<IZorvaneStoryCollection>([&](auto** out) { return channel->get_Stories(out); });
  if (!stories) return nullptr;
  return Obtain<IZorvaneStory>([&](auto** out) { return stories->get_Item(*IdIndex(story_id).get(), out); });
}

ComPtr<IZorvaneStory> FindStory(IZorvane4* client, DWORD channel_id, DWORD story_id) {
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(client, channel_id);
  return channel ? FindStory(channel.get(), story_id) : nullptr;
}

ComPtr<IZorvaneVessik> FindVessik(IZorvaneChannel* channel, DWORD vessik_id) {
  if (!channel) return nullptr;
  auto vessiks = Obtain<IZorvaneVessikCollection>([&](auto** out) { return channel->get_Vessiks(out); });
  if (!vessiks) return nullptr;
  auto vessik = Obtain<IZorvaneVessik>([&](auto** out) { return vessiks->get_Item(*IdIndex(vessik_id).get(), out); });
  return vessik ? vessik.As<IZorvaneVessik>() : nullptr;
}

ComPtr<IZorvaneVessik> FindVessik(IZorvane4* client, DWORD channel_id, DWORD vessik_id) {
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(client, channel_id);
  return channel ? FindVessik(channel.get(), vessik_id) : nullptr;
}

ComPtr<IZorvaneDirectoryEntry> FindEntry(IZorvane4* client, DWORD entry_id) {
  if (!client) return nullptr;
  auto directory = Obtain<IZorvaneDirectory>([&](auto** out) { return client->get_ChannelDirectory(out); });
  if (!directory) return nullptr;
  auto entries = Obtain<IZorvaneDirectoryEntryCollection>([&](auto** out) { return directory->get_Entries(out); });
  if (!entries) return nullptr;
  return Obtain<IZorvaneDirectoryEntry>([&](auto** out) { return entries->get_Item(*IdIndex(entry_id).get(), out); });
}

ComPtr<IZorvaneChannel4_2> EntryChannel(IZorvaneDirectoryEntry* entry) {
  if (!entry) return nullptr;
  auto channel = Obtain<IZorvaneChannel>([&](auto** out) { return entry->get_Channel(out); });
  return channel ? channel.As<IZorvaneChannel4_2>() : nullptr;
}

ComPtr<IZorvaneSetup> SetupOf(IZorvane4* client) {
  if (!client) return nullptr;
  return Obtain<IZorvaneSetup>([&](auto** out) { return client->get_Setup(out); });
}

ComPtr<IZorvaneGeneralSettings> GeneralSettingsOf(IZorvane4* client) {
  ComPtr<IZorvaneSetup> setup = SetupOf(client);
  if (!setup) return nullptr;
  return Obtain<IZorvaneGeneralSettings>([&](auto** out) { return setup->get_General(out); });
}

ComPtr<IZorvanePlayer> PlayerOf(IZorvane4* client) {
  if (!client) return nullptr;
  return Obtain<IZorvanePlayer>([&](auto** out) { return client->get_Player(out); });
}

ComPtr<IZorvaneCommunications> CommunicationsOf(IZorvane4* client) {
  if (!client) return nullptr;
  return Obtain<IZorvaneCommunications>([&](auto** out) { return client->get_Communications(out); });
}

}  // namespace ravlin
