// Subscriptions through the channel directory and the look-ups between entries and channels.
#include "channel_record.h"
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "messages.h"
#include "operations.h"
#include "resource.h"

namespace ravlin {

using comsupport::Bstr;
using comsupport::ComPtr;

namespace {

LONG WindowArgument(const RavlinCommand& command, int word) { return static_cast<LONG>(command.arguments[word]); }

}  // namespace

// (window, entry id)
LONG SubscribeToChannel(RavlinCommand& command) {
  ComPtr<IZorvaneDirectoryEntry> entry = FindEntry(ThreadClient().get(), command.arguments[1]);
  return entry && Ok(entry->Subscribe(WindowArgument(command, 0), 0)) ? 1 : 0;
}

// (window, entry id)
LONG UnsubscribeToChannel(RavlinCommand& command) {
  ComPtr<IZorvaneDirectoryEntry> entry = FindEntry(ThreadClient().get(), command.arguments[1]);
  return entry && Ok(entry->Unsubscribe(WindowArgument(command, 0), 0)) ? 1 : 0;
}

// (window, entry id)
LONG ShowChannelSettings(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = EntryChannel(FindEntry(ThreadClient().get(), command.arguments[1]).get());
  return channel && Ok(channel->ShowPropertiesDialog(WindowArgument(command, 0))) ? 1 : 0;
}

// (entry id, out channel id)
LONG LookupSubscribedChannelId(RavlinCommand& command) {
  DWORD* channel_id = PointerOf<DWORD>(command.arguments[1]);
  if (!channel_id) return 0;
  ComPtr<IZorvaneDirectoryEntry> entry = FindEntry(ThreadClient().get(), command.arguments[0]);
  ComPtr<IZorvaneChannel> channel;
  LONG id = 0;
  if (!entry || !Ok(entry->get_Channel(channel.put())) || !channel || !Ok(channel->get_Id(&id))) return 0;
  *channel_id = static_cast<DWORD>(id);
  return 1;
}

// (entry id) -> ICHANNELINFO in the second word
LONG GetChannelInfoFromDir(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = EntryChannel(FindEntry(ThreadClient().get(), command.arguments[0]).get());
  ICHANNELINFO* record = BuildChannelRecord(channel.get());
  command.arguments[1] = Word(record);
  return record ? 1 : 0;
}

// (window, channel id)
LONG UnsubscribeToSubscribedChannel(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), command.arguments[1]);
  if (!channel) return 0;
  ComPtr<IZorvaneDirectoryEntry> entry;
  if (!Ok(channel->get_DirectoryEntry(entry.put()))) return 0;
  if (entry) return Ok(entry->Unsubscribe(WindowArgument(command, 0), 0)) ? 1 : 0;
  // A channel that did not come from the directory is deleted, once the user agrees.
  Bstr name;
  if (!Ok(channel->get_Name(name.put()))) return 0;
  HWND owner = PointerOf<HWND__>(command.arguments[0]);
  if (ShowMessage(owner, IDS_UNSUBSCRIBE_QUESTION, MB_YESNO | MB_ICONQUESTION, name.Ansi().c_str()) != IDYES) return 0;
  return Ok(channel->Delete()) ? 1 : 0;
}

// (channel id, out entry id)
LONG LookupDirectoryEntryId(RavlinCommand& command) {
  DWORD* entry_id = PointerOf<DWORD>(command.arguments[1]);
  if (!entry_id) return 0;
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), command.arguments[0]);
  ComPtr<IZorvaneDirectoryEntry> entry;
  LONG id = 0;
  if (!channel || !Ok(channel->get_DirectoryEntry(entry.put())) || !entry || !Ok(entry->get_Id(&id))) return 0;
  *entry_id = static_cast<DWORD>(id);
  return 1;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRSubscribeToChannel(HWND parent, DWORD entry_id) {
  return Guarded([&] { return RunCommandFunction(kOpSubscribeToChannel, kOnLibraryThread, {Word(parent), entry_id}); });
}

extern "C" int ZRUnsubscribeToChannel(HWND parent, DWORD entry_id) {
  return Guarded(
      [&] { return RunCommandFunction(kOpUnsubscribeToChannel, kOnLibraryThread, {Word(parent), entry_id}); });
}

extern "C" int ZRShowChannelSettings(HWND parent, DWORD entry_id) {
  return Guarded(
      [&] { return RunCommandFunction(kOpShowChannelSettings, kOnLibraryThread, {Word(parent), entry_id}); });
}

extern "C" int ZRLookupSubscribedChannelID(DWORD entry_id, DWORD* channel_id) {
  return Guarded([&] {
    return RunCommandFunction(kOpLookupSubscribedChannelId, kInCallingThread, {entry_id, Word(channel_id)});
  });
}

extern "C" ICHANNELINFO* ZRGetChannelInfoFromDir(DWORD entry_id) {
  return Guarded([&] {
    return RunObjectCommand<ICHANNELINFO>(kOpGetChannelInfoFromDir, kInCallingThread, {entry_id}, 1);
  });
}

extern "C" int ZRUnsubscribeToSubscribedChannel(HWND parent, DWORD channel_id) {
  return Guarded([&] {
    return RunCommandFunction(kOpUnsubscribeToSubscribedChannel, kOnLibraryThread, {Word(parent), channel_id});
  });
}

extern "C" int ZRLookupDirectoryEntryID(DWORD channel_id, DWORD* entry_id) {
  return Guarded([&] {
    return RunCommandFunction(kOpLookupDirectoryEntryId, kInCallingThread, {channel_id, Word(entry_id)});
  });
}

extern "C" int ZRPimboBuildDirectoryEntryList(DATA_LIST* entries) {
  return Guarded(
      [&] { return RunCommandFunction(kOpBuildDirectoryEntryList, kInCallingThread, {Word(entries)}); });
}
