#include "story_client.h"

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "content_security.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

IZorvane4* RequireClient(IZorvane4* client) {
  if (!client) throw comsupport::ComError(E_POINTER, IID_IChanbindStory, "The control holds no client object");
  return client;
}

bool BooleanOf(const VARIANT& value) {
  Variant converted;
  COMSUPPORT_CHECK(IChanbindStory, ::VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_BOOL));
  return converted.get()->boolVal != VARIANT_FALSE;
}

void Store(Row& row, long column, const VARIANT& value) {
  if (column >= static_cast<long>(row.cells.size())) row.cells.resize(column + 1);
  COMSUPPORT_CHECK(IChanbindStory, ::VariantCopyInd(row.cells[column].put(), const_cast<VARIANT*>(&value)));
}

Variant BoolValue(bool value) {
  Variant result;
  result.put()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

}  // namespace

ComPtr<IZorvaneStory> ClientStory(IZorvane4* client, const Row& row) {
  ComPtr<IZorvaneChannelCollection> channels;
  COMSUPPORT_CHECK(IZorvane, RequireClient(client)->get_Channels(channels.put()));
  ComPtr<IZorvaneChannel> channel;
  COMSUPPORT_CHECK(IZorvaneChannelCollection, channels->get_Item(*Variant(row.channel_id).get(), channel.put()));
  ComPtr<IZorvaneStoryCollection> stories;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Stories(stories.put()));
  ComPtr<IZorvaneStory> story;
  COMSUPPORT_CHECK(IZorvaneStoryCollection, stories->get_Item(*Variant(row.story_id).get(), story.put()));
  return story;
}

long PackageIdOf(const Row& row, const ColumnMap& columns) {
  const long column = columns.Find(L"VESSIK_ID");
  if (column < 0) return 0;
  Variant value;
  StoryList::CellOf(row, column, columns, value.get());
  if (value.type() == VT_EMPTY || value.type() == VT_NULL) return 0;
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), value.get(), 0, VT_I4))) return 0;
  return number.get()->lVal;
}

ComPtr<IZorvaneVessik> ClientPackage(IZorvane4* client, long package_id) {
  ComPtr<IZorvaneAllVessikCollection> packages;
  COMSUPPORT_CHECK(IZorvane, RequireClient(client)->get_AllVessiks(packages.put()));
  ComPtr<IZorvaneVessik> package;
  // The client reports an unknown id as a failed lookup.
  if (FAILED(packages->get_Item(*Variant(package_id).get(), package.put()))) return nullptr;
  return package;
}

void GuardLocalPath(IZorvane4* client, const Row& row, VARIANT* value) {
  if (value->vt != VT_BSTR || !value->bstrVal || !IsLocalPath(value->bstrVal)) return;
  // Without the row's channel nothing vouches for the file: the user is asked.
  ComPtr<IZorvaneChannel4_2> channel;
  std::wstring name;
  ComPtr<IZorvaneChannelCollection> channels;
  ComPtr<IZorvaneChannel> found;
  if (client && SUCCEEDED(client->get_Channels(channels.put())) &&
      SUCCEEDED(channels->get_Item(*Variant(row.channel_id).get(), found.put())) && found) {
    channel = found.As<IZorvaneChannel4_2>();
    comsupport::Bstr text;
    if (SUCCEEDED(found->get_Name(text.put())) && text.get()) name = text.get();
  }
  if (ContentAllowed(value->bstrVal, name, channel.get())) return;
  ::VariantClear(value);
  value->vt = VT_BOOL;
  value->boolVal = VARIANT_FALSE;
}

bool IsStateColumn(const std::wstring& title) {
  return title == L"READ" || title == L"UNREAD" || title == L"KEEP" || title == L"STORY_LOCAL";
}

void WriteStateColumn(IZorvane4* client, StoryList& list, Row& row, long column, const VARIANT& value) {
  const std::wstring title = list.columns().Title(column);
  const bool on = BooleanOf(value);
  if (title == L"READ" || title == L"UNREAD") {
    const bool read = title == L"READ" ? on : !on;
    ComPtr<IZorvaneStory> story = ClientStory(client, row);
    COMSUPPORT_CHECK(IZorvaneStory, read ? story->MarkAsRead() : story->MarkAsUnread());
    // UNREAD is computed from READ, so READ carries the new state.
    Store(row, list.columns().Register(L"READ", ColumnKind::kAttribute), *BoolValue(read).get());
    return;
  }
  if (title == L"STORY_LOCAL") {
    if (on) COMSUPPORT_CHECK(IZorvaneStory, ClientStory(client, row)->Download());
  } else {  // KEEP
    const long package_id = PackageIdOf(row, list.columns());
    ComPtr<IZorvaneVessik> package = package_id ? ClientPackage(client, package_id) : nullptr;
    // A story without a package has nothing the client could keep.
    if (package) {
      COMSUPPORT_CHECK(IZorvaneVessik, package->put_KeepMode(on ? KEEP_MODE_USER_KEPT : KEEP_MODE_USER_UNKEPT));
    }
  }
  Store(row, column, *BoolValue(on).get());
}

}  // namespace chanbind
