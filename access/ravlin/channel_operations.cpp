// Channels: properties dialog, new channel, the channel list and records, categories,
// security settings, connection, logo, resources, status, enabling, the channel directory.
#include <vector>

#include "channel_record.h"
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "comsupport/scope_exit.h"
#include "exports.h"
#include "operations.h"
#include "ravlin_containers/channel_info_record.h"
#include "ravlin/buffer_list.h"

namespace ravlin {

using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::Variant;

namespace {

ComPtr<IZorvaneChannel4_2> ChannelArgument(const RavlinCommand& command, int word) {
  return FindChannel(ThreadClient().get(), command.arguments[word]);
}

LONG TextInto(HRESULT hr, const Bstr& text, QMBuffer* buffer) {
  if (!buffer || !Ok(hr)) return 0;
  return PutText(*buffer, text.get()) ? 1 : 0;
}

}  // namespace

// (window, channel id)
LONG ShowChannelPropertiesDialog(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 1);
  return channel && Ok(channel->ShowPropertiesDialog(static_cast<LONG>(command.arguments[0]))) ? 1 : 0;
}

// (window)
LONG NewChannel(RavlinCommand& command) {
  ComPtr<IZorvane4> client = ThreadClient();
  ComPtr<IZorvaneChannelCollection> channels;
  if (!client || !Ok(client->get_Channels(channels.put())) || !channels) return 0;
  ComPtr<IZorvaneNewChannelDialog> dialog = channels.As<IZorvaneNewChannelDialog>();
  return dialog && Ok(dialog->ShowNewChannelDialog(static_cast<LONG>(command.arguments[0]))) ? 1 : 0;
}

// The channel behind one element of the channels' enumeration.
ComPtr<IZorvaneChannel4_2> ChannelOfElement(const VARIANT& item) {
  if (item.vt == VT_DISPATCH && item.pdispVal) return ComPtr<IDispatch>(item.pdispVal).As<IZorvaneChannel4_2>();
  if (item.vt == VT_UNKNOWN && item.punkVal) return ComPtr<IUnknown>(item.punkVal).As<IZorvaneChannel4_2>();
  return nullptr;
}

// () -> ICHANNELINFOLIST in the first word, empty or not
LONG EnumerateChannels(RavlinCommand& command) {
  command.arguments[0] = 0;
  ComPtr<IZorvane4> client = ThreadClient();
  ComPtr<IZorvaneChannelCollection> channels;
  ComPtr<IUnknown> unknown;
  if (!client || !Ok(client->get_Channels(channels.put())) || !channels || !Ok(channels->get__NewEnum(unknown.put())))
    return 0;
  ComPtr<IEnumVARIANT> each = unknown.As<IEnumVARIANT>();
  if (!each) return 0;
  // Released unless it is handed over, also when a record's building throws.
  ComPtr<ICHANNELINFOLIST> list = ComPtr<ICHANNELINFOLIST>::Attach(CreateChannelInfoList());
  if (!list) return 0;
  constexpr ULONG kBatch = 32;
  for (;;) {
    VARIANT items[kBatch];
    for (VARIANT& item : items) ::VariantInit(&item);
    ULONG fetched = 0;
    HRESULT hr = each->Next(kBatch, items, &fetched);
    if (FAILED(hr)) return 0;  // a list cut short would pass for the whole
    auto clear_items = comsupport::MakeScopeExit([&] {
      for (VARIANT& item : items) ::VariantClear(&item);
    });
    for (ULONG i = 0; i < fetched && i < kBatch; ++i) {
      ComPtr<IZorvaneChannel4_2> channel = ChannelOfElement(items[i]);
      if (!channel) continue;
      if (ICHANNELINFO* record = BuildChannelRecord(channel.get())) {
        if (!list->Add(record)) record->Release();
      }
    }
    if (hr != S_OK) break;
  }
  command.arguments[0] = Word(list.Detach());
  return 1;
}

// (channel id) -> ICHANNELINFO in the second word
LONG GetChannelInfo(RavlinCommand& command) {
  ICHANNELINFO* record = BuildChannelRecord(ChannelArgument(command, 0).get());
  command.arguments[1] = Word(record);
  return record ? 1 : 0;
}

// (channel id, text)
LONG SetChannelCategories(RavlinCommand& command) {
  const char* text = PointerOf<const char>(command.arguments[1]);
  if (!text) return 0;
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  if (!channel) return 0;
  BUFFER_LIST pieces;
  pieces.AddSplitText(text, ';');
  std::vector<std::string> texts;
  for (long i = 0; i < pieces.GetCount(); ++i) texts.push_back(pieces.GetBuffer(i)->GetText());
  Variant names = TextArrayVariant(texts);
  if (names.type() == VT_EMPTY) return 0;
  return Ok(channel->put_Categories(*names.get())) ? 1 : 0;
}

// (channel id, out mode, out flags)
LONG GetChannelSecuritySettings(RavlinCommand& command) {
  auto* mode = PointerOf<ESecurityMode>(command.arguments[1]);
  auto* flags = PointerOf<ESecurityFlags>(command.arguments[2]);
  if (!mode || !flags) return 0;
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  ESecurityMode read_mode = SECURITY_MODE_MEDIUM;
  LONG read_flags = 0;
  if (!channel || !Ok(channel->get_SecurityMode(&read_mode)) || !Ok(channel->get_SecurityFlags(&read_flags))) return 0;
  *mode = read_mode;
  *flags = static_cast<ESecurityFlags>(read_flags);
  return 1;
}

// (channel id)
LONG ForceChannelConnection(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  return channel && Ok(channel->Update()) ? 1 : 0;
}

// (channel id, buffer)
LONG GetChannelLogoFile(RavlinCommand& command) {
  QMBuffer* buffer = PointerOf<QMBuffer>(command.arguments[1]);
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  if (!channel || !buffer) return 0;
  Bstr path;
  return TextInto(channel->get_LogoFile(path.put()), path, buffer);
}

// (channel id, resource name, buffer)
LONG GetChannelResourceFile(RavlinCommand& command) {
  const char* name = PointerOf<const char>(command.arguments[1]);
  QMBuffer* buffer = PointerOf<QMBuffer>(command.arguments[2]);
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  if (!channel || !name || !buffer) return 0;
  Bstr path;
  return TextInto(channel->get_ResourceFile(BstrOf(name).get(), path.put()), path, buffer);
}

// (channel id, buffer)
LONG GetChannelStatus(RavlinCommand& command) {
  QMBuffer* buffer = PointerOf<QMBuffer>(command.arguments[1]);
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  if (!channel || !buffer) return 0;
  Bstr status;
  return TextInto(channel->get_StatusText(status.put()), status, buffer);
}

// (channel id, enable)
LONG EnableChannel(RavlinCommand& command) {
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  return channel && Ok(channel->put_Active(command.arguments[1] ? VARIANT_TRUE : VARIANT_FALSE)) ? 1 : 0;
}

// (channel id, out enabled)
LONG IsChannelEnabled(RavlinCommand& command) {
  int* enabled = PointerOf<int>(command.arguments[1]);
  ComPtr<IZorvaneChannel4_2> channel = ChannelArgument(command, 0);
  VARIANT_BOOL active = VARIANT_FALSE;
  if (!enabled || !channel || !Ok(channel->get_Active(&active))) return 0;
  *enabled = active ? 1 : 0;
  return 1;
}

// (window): the window is not used
LONG ShowChannelDirectory(RavlinCommand&) {
  ComPtr<IZorvane4> client = ThreadClient();
  ComPtr<IZorvaneChannelCollection> channels;
  return client && Ok(client->get_Channels(channels.put())) && channels && Ok(channels->ShowChannelDirectory()) ? 1 : 0;
}

}  // namespace ravlin

using namespace ravlin;

extern "C" int ZRShowChannelPropertiesDialog(HWND parent, DWORD channel_id) {
  return Guarded([&] {
    return RunCommandFunction(kOpShowChannelPropertiesDialog, kOnLibraryThread, {Word(parent), channel_id});
  });
}

extern "C" int ZRNewChannel(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpNewChannel, kOnLibraryThread, {Word(parent)}); });
}

extern "C" ICHANNELINFOLIST* ZREnumerateChannels() {
  return Guarded([&] { return RunObjectCommand<ICHANNELINFOLIST>(kOpEnumerateChannels, kInCallingThread, {}, 0); });
}

extern "C" ICHANNELINFO* ZRGetChannelInfo(DWORD channel_id) {
  return Guarded(
      [&] { return RunObjectCommand<ICHANNELINFO>(kOpGetChannelInfo, kInCallingThread, {channel_id}, 1); });
}

extern "C" int ZRSetChannelCategories(DWORD channel_id, const char* categories) {
  return Guarded([&] {
    return RunCommandFunction(kOpSetChannelCategories, kInCallingThread, {channel_id, Word(categories)});
  });
}

extern "C" int ZRGetChannelSecuritySettings(DWORD channel_id, ESecurityMode* mode, ESecurityFlags* flags) {
  return Guarded([&] {
    return RunCommandFunction(kOpGetChannelSecuritySettings, kInCallingThread, {channel_id, Word(mode), Word(flags)});
  });
}

extern "C" int ZRForceChannelConnection(DWORD channel_id) {
  return Guarded([&] { return RunCommandFunction(kOpForceChannelConnection, kInCallingThread, {channel_id}); });
}

extern "C" int ZRGetChannelLogoFile(DWORD channel_id, QMBuffer& path) {
  return Guarded(
      [&] { return RunCommandFunction(kOpGetChannelLogoFile, kInCallingThread, {channel_id, Word(&path)}); });
}

extern "C" int ZRGetChannelResourceFile(DWORD channel_id, const char* resource_name, QMBuffer& path) {
  return Guarded([&] {
    return RunCommandFunction(kOpGetChannelResourceFile, kInCallingThread,
                              {channel_id, Word(resource_name), Word(&path)});
  });
}

extern "C" int ZRGetChannelStatus(DWORD channel_id, QMBuffer& status) {
  return Guarded(
      [&] { return RunCommandFunction(kOpGetChannelStatus, kInCallingThread, {channel_id, Word(&status)}); });
}

extern "C" int ZREnableChannel(DWORD channel_id, int enable) {
  return Guarded([&] {
    return RunCommandFunction(kOpEnableChannel, kInCallingThread, {channel_id, static_cast<DWORD>(enable)});
  });
}

extern "C" int ZRIsChannelEnabled(DWORD channel_id, int* enabled) {
  return Guarded(
      [&] { return RunCommandFunction(kOpIsChannelEnabled, kInCallingThread, {channel_id, Word(enabled)}); });
}

extern "C" int ZRShowChannelDirectory(HWND parent) {
  return Guarded([&] { return RunCommandFunction(kOpShowChannelDirectory, kInCallingThread, {Word(parent)}); });
}
