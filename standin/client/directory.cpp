// The channel directory: its entries, their properties and subscribing.
#include "channel_data.h"
#include "events.h"
#include "json_value.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::Variant;

DirectoryEntry& EntryOf(Client& client, long entry_id) {
  DirectoryEntry* entry = client.model().FindEntry(entry_id);
  if (!entry) throw Failure(E_FAIL, "directory entry " + std::to_string(entry_id) + " no longer exists");
  return *entry;
}

class Directory : public StandinObject<IZorvaneDirectory> {
 public:
  explicit Directory(Client& client) : StandinObject(client, "Directory", "") {}

  STDMETHODIMP get_Entries(IZorvaneDirectoryEntryCollection** entries) override {
    return Call("get_Entries", "", [&] { return NewEntryCollection(client_, Out(entries)); });
  }
  STDMETHODIMP EnumEntries(long which, long format, VARIANT* data) override {
    return Call("EnumEntries", Arguments(which, format), [&] {
      if (format == DIR_ENUM_FORMAT_ID_ARRAY) return PutVariant(data, EntryIds(client_.model(), which));
      if (format == DIR_ENUM_FORMAT_PROPERTY_ARRAY) return PutVariant(data, EntryProperties(client_.model(), which));
      throw Failure(E_INVALIDARG, "unknown directory format " + std::to_string(format));
    });
  }
  STDMETHODIMP Update() override { return Call("Update", "", [] { return S_OK; }); }
  STDMETHODIMP get_LastUpdated(long* time) override {
    return Call("get_LastUpdated", "", [&] { return PutLong(time, client_.model().directory_last_updated); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneDirectory)
      return static_cast<IZorvaneDirectory*>(this);
    return nullptr;
  }
};

class EntryCollection : public StandinObject<IZorvaneDirectoryEntryCollection> {
 public:
  explicit EntryCollection(Client& client) : StandinObject(client, "Entries", "") {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(client_.model().entries.size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneDirectoryEntry** entry) override {
    return Call("get_Item", Arguments(index), [&] {
      *Out(entry) = nullptr;
      long id = 0;
      if (!IndexNumber(index, &id) || !client_.model().FindEntry(id))
        throw Failure(E_INVALIDARG, "no directory entry " + ArgumentText(index));
      return NewEntry(client_, id, entry);
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] {
      std::vector<Variant> items;
      for (const DirectoryEntry& present : client_.model().entries) {
        IZorvaneDirectoryEntry* entry = nullptr;
        HRESULT hr = NewEntry(client_, present.id, &entry);
        if (FAILED(hr)) return hr;
        items.push_back(DispatchVariant(entry));
      }
      return NewEnumerator(std::move(items), Out(enumerator));
    });
  }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler),
                [&] { return client_.notifier().Register(Source::Directory, events, handler, Out(handle)); });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::Directory, handle); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneDirectoryEntryCollection)
      return static_cast<IZorvaneDirectoryEntryCollection*>(this);
    return nullptr;
  }
};

class Entry : public StandinObject<IZorvaneDirectoryEntry> {
 public:
  Entry(Client& client, long id) : StandinObject(client, "Entry", std::to_string(id)), id_(id) {}

  STDMETHODIMP get_Id(long* id) override { return Call("get_Id", "", [&] { return PutLong(id, Self().id); }); }
  STDMETHODIMP get_Name(BSTR* name) override {
    return Call("get_Name", "", [&] { return PutText(name, Self().Text(kEntryName)); });
  }
  STDMETHODIMP get_Description(BSTR* text) override {
    return Call("get_Description", "", [&] { return PutText(text, Self().Text(kEntryDescription)); });
  }
  STDMETHODIMP get_Categories(VARIANT* names) override {
    return Call("get_Categories", "", [&] {
      auto found = Self().properties.find(kEntryCategories);
      return PutVariant(names, found != Self().properties.end() ? found->second : StringArray({}));
    });
  }
  STDMETHODIMP get_Channel(IZorvaneChannel** channel) override {
    return Call("get_Channel", "", [&] {
      *Out(channel) = nullptr;
      DirectoryEntry& entry = Self();
      if (!entry.subscribed || !client_.model().FindChannel(entry.channel)) return S_OK;
      return NewChannel(client_, entry.channel, channel);
    });
  }
  STDMETHODIMP get_Subscribed(VARIANT_BOOL* subscribed) override {
    return Call("get_Subscribed", "", [&] { return PutBool(subscribed, Self().subscribed); });
  }
  // Subscribing makes a channel for the entry (or finds the one it had).
  STDMETHODIMP Subscribe(long parent, long flags) override {
    return Call("Subscribe", Arguments(parent, flags), [&] {
      DirectoryEntry& entry = Self();
      if (entry.subscribed) return S_OK;
      entry.subscribed = true;
      Model& model = client_.model();
      if (entry.channel == 0 || !model.FindChannel(entry.channel)) {
        Channel channel;
        channel.id = NewChannelId(model);
        channel.name = entry.Text(kEntryName);
        channel.description = entry.Text(kEntryDescription);
        channel.server_address = entry.Text(kEntryServerAddress);
        channel.directory_entry = entry.id;
        channel.directory = model.settings.data_directory + "Channels\\" + std::to_string(channel.id) + "\\";
        entry.channel = channel.id;
        model.channels.push_back(std::move(channel));
        QueueChannelEvent(client_, Change::Added, entry.channel);
      }
      QueueEntryEvent(client_, Change::Changed, id_, DIR_EVENT_SUBSCRIBED);
      return S_OK;
    });
  }
  STDMETHODIMP Unsubscribe(long parent, long flags) override {
    return Call("Unsubscribe", Arguments(parent, flags), [&] {
      DirectoryEntry& entry = Self();
      if (!entry.subscribed) return S_OK;
      entry.subscribed = false;
      auto& channels = client_.model().channels;
      for (auto it = channels.begin(); it != channels.end(); ++it) {
        if (it->id == entry.channel) {
          channels.erase(it);
          QueueChannelEvent(client_, Change::Deleted, entry.channel);
          break;
        }
      }
      entry.channel = 0;
      QueueEntryEvent(client_, Change::Changed, id_, DIR_EVENT_UNSUBSCRIBED);
      return S_OK;
    });
  }
  STDMETHODIMP get_StateFlags(long* flags) override {
    return Call("get_StateFlags", "", [&] { return PutLong(flags, Self().Number(kEntryStateFlags)); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneDirectoryEntry)
      return static_cast<IZorvaneDirectoryEntry*>(this);
    return nullptr;
  }

 private:
  DirectoryEntry& Self() { return EntryOf(client_, id_); }
  static long NewChannelId(const Model& model) {
    long id = 1;
    for (const Channel& channel : model.channels) {
      if (channel.id >= id && channel.id < 0x7FFFFFFF) id = channel.id + 1;
    }
    return id;
  }
  long id_;
};

}  // namespace

HRESULT NewDirectory(Client& client, IZorvaneDirectory** out) { return NewObject<Directory>(out, client); }
HRESULT NewEntryCollection(Client& client, IZorvaneDirectoryEntryCollection** out) {
  return NewObject<EntryCollection>(out, client);
}
HRESULT NewEntry(Client& client, long entry_id, IZorvaneDirectoryEntry** out) {
  return NewObject<Entry>(out, client, entry_id);
}

}  // namespace standin
