// The channel collection (with the new-channel dialog it answers) and the channel objects,
// which answer every channel interface up to the replication one.
#include "channel_data.h"
#include "events.h"
#include "json_value.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::DispatchImpl;
using comsupport::Variant;

class ChannelCollection
    : public StandinObject<IZorvaneChannelCollection, DispatchImpl<IZorvaneNewChannelDialog>> {
 public:
  explicit ChannelCollection(Client& client) : StandinObject(client, "Channels", "") {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(client_.model().channels.size())); });
  }
  // By id, or by "n:" and the name.
  STDMETHODIMP get_Item(VARIANT index, IZorvaneChannel** channel) override {
    return Call("get_Item", Arguments(index), [&] {
      Out(channel);
      *channel = nullptr;
      long id = 0;
      const Channel* found = nullptr;
      if (IndexNumber(index, &id)) {
        found = client_.model().FindChannel(id);
      } else {
        std::string text = IndexText(index);
        if (text.compare(0, 2, "n:") == 0) found = client_.model().FindChannelByName(text.substr(2));
      }
      if (!found) throw Failure(E_INVALIDARG, "no channel " + ArgumentText(index));
      return NewChannel(client_, found->id, channel);
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] {
      std::vector<Variant> items;
      for (const Channel& channel : client_.model().channels) {
        IZorvaneChannel* object = nullptr;
        HRESULT hr = NewChannel(client_, channel.id, &object);
        if (FAILED(hr)) return hr;
        items.push_back(DispatchVariant(object));
      }
      return NewEnumerator(std::move(items), Out(enumerator));
    });
  }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler),
                [&] { return client_.notifier().Register(Source::Channels, events, handler, Out(handle)); });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::Channels, handle); });
  }
  STDMETHODIMP ShowChannelDirectory() override { return Call("ShowChannelDirectory", "", [] { return S_OK; }); }
  STDMETHODIMP ShowNewChannelDialog(long parent) override {
    return Call("ShowNewChannelDialog", Arguments(parent), [] { return S_OK; });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneChannelCollection)
      return static_cast<IZorvaneChannelCollection*>(this);
    if (iid == IID_IZorvaneNewChannelDialog) return static_cast<IZorvaneNewChannelDialog*>(this);
    return nullptr;
  }
};

class ChannelObject : public StandinObject<IZorvaneChannelReplication> {
 public:
  ChannelObject(Client& client, long id) : StandinObject(client, "Channel", std::to_string(id)), id_(id) {}

  // IZorvaneChannel
  STDMETHODIMP get_Name(BSTR* v) override { return Get("get_Name", v, [](Channel& c) { return c.name; }); }
  STDMETHODIMP put_Name(BSTR v) override {
    return Set("put_Name", Arguments(v), CHN_EVENT_NAME, [&](Channel& c) { c.name = TextOf(v); });
  }
  STDMETHODIMP get_Id(long* v) override { return Get("get_Id", v, [](Channel& c) { return c.id; }); }
  STDMETHODIMP get_Description(BSTR* v) override {
    return Get("get_Description", v, [](Channel& c) { return c.description; });
  }
  STDMETHODIMP get_ServerAddress(BSTR* v) override {
    return Get("get_ServerAddress", v, [](Channel& c) { return c.server_address; });
  }
  STDMETHODIMP put_ServerAddress(BSTR v) override {
    return Set("put_ServerAddress", Arguments(v), CHN_EVENT_SERVER_ADDRESS,
               [&](Channel& c) { c.server_address = TextOf(v); });
  }
  STDMETHODIMP get_ServerPort(long* v) override { return Get("get_ServerPort", v, [](Channel& c) { return c.server_port; }); }
  STDMETHODIMP put_ServerPort(long v) override {
    return Set("put_ServerPort", Arguments(v), CHN_EVENT_SERVER_PORT, [&](Channel& c) { c.server_port = v; });
  }
  STDMETHODIMP get_Priority(long* v) override { return Get("get_Priority", v, [](Channel& c) { return c.priority; }); }
  STDMETHODIMP put_Priority(long v) override {
    return Set("put_Priority", Arguments(v), CHN_EVENT_PRIORITY, [&](Channel& c) { c.priority = v; });
  }
  STDMETHODIMP get_Active(VARIANT_BOOL* v) override { return Get("get_Active", v, [](Channel& c) { return c.active; }); }
  STDMETHODIMP put_Active(VARIANT_BOOL v) override {
    return Set("put_Active", Arguments(v), CHN_EVENT_ACTIVE, [&](Channel& c) { c.active = v != VARIANT_FALSE; });
  }
  STDMETHODIMP get_CurrentAction(long* v) override {
    return Get("get_CurrentAction", v, [](Channel& c) { return c.current_action; });
  }
  STDMETHODIMP get_StatusText(BSTR* v) override { return Get("get_StatusText", v, [](Channel& c) { return c.status_text; }); }
  STDMETHODIMP get_LastVisited(long* v) override { return Get("get_LastVisited", v, [](Channel& c) { return c.last_visited; }); }
  STDMETHODIMP put_LastVisited(long v) override {
    return Set("put_LastVisited", Arguments(v), 0, [&](Channel& c) { c.last_visited = v; });
  }
  STDMETHODIMP get_DisabledUntil(long* v) override {
    return Get("get_DisabledUntil", v, [](Channel& c) { return c.disabled_until; });
  }
  STDMETHODIMP put_DisabledUntil(long v) override {
    return Set("put_DisabledUntil", Arguments(v), 0, [&](Channel& c) { c.disabled_until = v; });
  }
  STDMETHODIMP get_UpdateInterval(long* v) override {
    return Get("get_UpdateInterval", v, [](Channel& c) { return c.update_interval; });
  }
  STDMETHODIMP put_UpdateInterval(long v) override {
    return Set("put_UpdateInterval", Arguments(v), 0, [&](Channel& c) { c.update_interval = v; });
  }
  STDMETHODIMP get_LastUpdated(long* v) override { return Get("get_LastUpdated", v, [](Channel& c) { return c.last_updated; }); }
  STDMETHODIMP get_NextUpdate(long* v) override { return Get("get_NextUpdate", v, [](Channel& c) { return c.next_update; }); }
  STDMETHODIMP get_Directory(BSTR* v) override { return Get("get_Directory", v, [](Channel& c) { return c.directory; }); }
  STDMETHODIMP get_LogoFile(BSTR* v) override { return Get("get_LogoFile", v, [](Channel& c) { return c.logo_file; }); }
  STDMETHODIMP get_LogoTimeStamp(long* v) override {
    return Get("get_LogoTimeStamp", v, [](Channel& c) { return c.logo_time_stamp; });
  }
  STDMETHODIMP get_Categories(VARIANT* v) override {
    return Call("get_Categories", "", [&] { return PutVariant(v, StringArray(Self().categories)); });
  }
  STDMETHODIMP put_Categories(VARIANT v) override {
    return Set("put_Categories", Arguments(v), CHN_EVENT_CATEGORY_CHANGED, [&](Channel& c) {
      try {
        c.categories = StringsOf(v);
      } catch (const std::invalid_argument& error) {
        throw Failure(E_INVALIDARG, error.what());
      }
    });
  }
  STDMETHODIMP get_DirectoryEntry(IZorvaneDirectoryEntry** v) override {
    return Call("get_DirectoryEntry", "", [&] {
      *Out(v) = nullptr;
      long entry = Self().directory_entry;
      return entry != 0 && client_.model().FindEntry(entry) ? NewEntry(client_, entry, v) : S_OK;
    });
  }
  STDMETHODIMP get_Flags(long* v) override { return Get("get_Flags", v, [](Channel& c) { return c.flags; }); }
  STDMETHODIMP put_Flags(long v) override {
    return Set("put_Flags", Arguments(v), CHN_EVENT_FLAGS, [&](Channel& c) { c.flags = v; });
  }
  STDMETHODIMP get_CacheSize(long* v) override { return Get("get_CacheSize", v, [](Channel& c) { return c.cache_size; }); }
  STDMETHODIMP put_CacheSize(long v) override {
    return Set("put_CacheSize", Arguments(v), 0, [&](Channel& c) { c.cache_size = v; });
  }
  STDMETHODIMP get_UsedCacheSize(long* v) override {
    return Get("get_UsedCacheSize", v, [&](Channel& c) { return client_.model().UsedCacheSize(c); });
  }
  STDMETHODIMP get_DisallowedVessikTypes(long* v) override {
    return Get("get_DisallowedVessikTypes", v, [](Channel& c) { return c.disallowed_types; });
  }
  STDMETHODIMP put_DisallowedVessikTypes(long v) override {
    return Set("put_DisallowedVessikTypes", Arguments(v), CHN_EVENT_DISALLOWED_VESSIK_TYPES,
               [&](Channel& c) { c.disallowed_types = v; });
  }
  STDMETHODIMP get_NoAutoplayVessikTypes(long* v) override {
    return Get("get_NoAutoplayVessikTypes", v, [](Channel& c) { return c.no_autoplay_types; });
  }
  STDMETHODIMP put_NoAutoplayVessikTypes(long v) override {
    return Set("put_NoAutoplayVessikTypes", Arguments(v), CHN_EVENT_NO_AUTOPLAY_VESSIK_TYPES,
               [&](Channel& c) { c.no_autoplay_types = v; });
  }
  STDMETHODIMP get_SecurityMode(ESecurityMode* v) override {
    return Call("get_SecurityMode", "", [&] {
      *Out(v) = static_cast<ESecurityMode>(Self().security_mode);
      return S_OK;
    });
  }
  STDMETHODIMP put_SecurityMode(ESecurityMode v) override {
    return Set("put_SecurityMode", Arguments(v), 0, [&](Channel& c) { c.security_mode = v; });
  }
  STDMETHODIMP get_SecurityFlags(long* v) override {
    return Get("get_SecurityFlags", v, [](Channel& c) { return c.security_flags; });
  }
  STDMETHODIMP put_SecurityFlags(long v) override {
    return Set("put_SecurityFlags", Arguments(v), 0, [&](Channel& c) { c.security_flags = v; });
  }
  STDMETHODIMP get_Stories(IZorvaneStoryCollection** v) override {
    return Call("get_Stories", "", [&] {
      Self();
      return NewStoryCollection(client_, id_, 0, Out(v));
    });
  }
  STDMETHODIMP get_Vessiks(IZorvaneVessikCollection** v) override {
    return Call("get_Vessiks", "", [&] {
      Self();
      return NewVessikCollection(client_, id_, Out(v));
    });
  }
  STDMETHODIMP get_UnreadStories(long* v) override {
    return Get("get_UnreadStories", v, [](Channel& c) {
      long unread = 0;
      for (const Story& story : c.stories) unread += story.Read() ? 0 : 1;
      return unread;
    });
  }
  STDMETHODIMP get_Variables(IZorvaneChannelVariableCollection** v) override {
    return Call("get_Variables", "", [&] {
      Self();
      return NewVariableCollection(client_, id_, Out(v));
    });
  }
  STDMETHODIMP Update() override { return Set("Update", "", 0, [](Channel&) {}); }
  STDMETHODIMP Delete() override {
    return Call("Delete", "", [&] {
      Self();
      auto& channels = client_.model().channels;
      for (auto it = channels.begin(); it != channels.end(); ++it) {
        if (it->id == id_) {
          channels.erase(it);
          break;
        }
      }
      QueueChannelEvent(client_, Change::Deleted, id_);
      return S_OK;
    });
  }
  STDMETHODIMP ShowPropertiesDialog(long parent) override {
    return Set("ShowPropertiesDialog", Arguments(parent), 0, [](Channel&) {});
  }
  STDMETHODIMP get_ResourceFile(BSTR name, BSTR* v) override {
    return Call("get_ResourceFile", Arguments(name), [&] {
      auto& files = Self().resource_files;
      auto found = files.find(TextOf(name));
      if (found == files.end()) throw Failure(E_INVALIDARG, "no resource " + TextOf(name));
      return PutText(v, found->second);
    });
  }

  // IZorvaneChannel2
  STDMETHODIMP EnumStoryData(long which, long format, VARIANT* data) override {
    return Call("EnumStoryData", Arguments(which, format), [&] {
      if (format != STORY_ENUM_FORMAT_ARRAY) throw Failure(E_INVALIDARG, "unknown story data format");
      return PutVariant(data, StoryData(Self(), which == STORY_ENUM_FLAG_UNREADSTORIES));
    });
  }
  STDMETHODIMP DeleteStories(VARIANT ids) override {
    return Call("DeleteStories", Arguments(ids), [&] {
      Channel& channel = Self();
      std::vector<long> deleted;
      for (long id : IdsOf(ids)) {
        for (auto it = channel.stories.begin(); it != channel.stories.end(); ++it) {
          if (it->id == id) {
            channel.stories.erase(it);
            deleted.push_back(id);
            break;
          }
        }
      }
      if (!deleted.empty()) {
        ++channel.story_counter;
        QueueStoryEvent(client_, Change::Deleted, id_, deleted);
      }
      return S_OK;
    });
  }
  STDMETHODIMP MarkStoriesRead(VARIANT ids, VARIANT_BOOL read) override {
    return Call("MarkStoriesRead", Arguments(ids, read), [&] {
      Channel& channel = Self();
      std::vector<long> changed;
      for (long id : IdsOf(ids)) {
        if (Story* story = channel.FindStory(id)) {
          story->SetRead(read != VARIANT_FALSE);
          changed.push_back(id);
        }
      }
      if (!changed.empty()) {
        QueueStoryEvent(client_, Change::Changed, id_, changed,
                        read ? STORY_EVENT_MARKED_AS_READ : STORY_EVENT_MARKED_AS_UNREAD);
      }
      return S_OK;
    });
  }
  STDMETHODIMP get_AttributeFlags(long* v) override {
    return Get("get_AttributeFlags", v, [](Channel& c) { return c.attribute_flags; });
  }
  STDMETHODIMP get_Hidden(VARIANT_BOOL* v) override { return Get("get_Hidden", v, [](Channel& c) { return c.hidden; }); }
  STDMETHODIMP put_Hidden(VARIANT_BOOL v) override {
    return Set("put_Hidden", Arguments(v), 0, [&](Channel& c) { c.hidden = v != VARIANT_FALSE; });
  }
  STDMETHODIMP get_TotalStories(long* v) override {
    return Get("get_TotalStories", v, [](Channel& c) { return static_cast<long>(c.stories.size()); });
  }

  // IZorvaneChannel4
  STDMETHODIMP EnumProperties(long codes, long format, VARIANT* data) override {
    return Call("EnumProperties", Arguments(codes, format), [&] {
      if (format != CHN_PROP_FORMAT_ARRAY) throw Failure(E_INVALIDARG, "unknown property format");
      return PutVariant(data, ChannelProperties(client_.model(), Self(), codes));
    });
  }
  STDMETHODIMP get_StoryCounter(long* v) override {
    return Get("get_StoryCounter", v, [](Channel& c) { return c.story_counter; });
  }
  STDMETHODIMP get_MaxStories(long* v) override { return Get("get_MaxStories", v, [](Channel& c) { return c.max_stories; }); }
  STDMETHODIMP put_MaxStories(long v) override {
    return Set("put_MaxStories", Arguments(v), 0, [&](Channel& c) { c.max_stories = v; });
  }
  STDMETHODIMP get_ExpireDays(long* v) override { return Get("get_ExpireDays", v, [](Channel& c) { return c.expire_days; }); }
  STDMETHODIMP put_ExpireDays(long v) override {
    return Set("put_ExpireDays", Arguments(v), 0, [&](Channel& c) { c.expire_days = v; });
  }
  STDMETHODIMP get_HomePage(BSTR* v) override { return Get("get_HomePage", v, [](Channel& c) { return c.home_page; }); }

  // IZorvaneChannel4_2
  STDMETHODIMP ShowCustomizeDialog(long parent) override {
    return Set("ShowCustomizeDialog", Arguments(parent), 0, [](Channel&) {});
  }
  STDMETHODIMP get_AlertsEnabled(VARIANT_BOOL* v) override {
    return Get("get_AlertsEnabled", v, [](Channel& c) { return c.alerts_enabled; });
  }
  STDMETHODIMP put_AlertsEnabled(VARIANT_BOOL v) override {
    return Set("put_AlertsEnabled", Arguments(v), 0, [&](Channel& c) { c.alerts_enabled = v != VARIANT_FALSE; });
  }
  STDMETHODIMP get_Filter(BSTR* v) override { return Get("get_Filter", v, [](Channel& c) { return c.filter; }); }
  STDMETHODIMP put_Filter(BSTR v) override {
    return Set("put_Filter", Arguments(v), 0, [&](Channel& c) { c.filter = TextOf(v); });
  }
  STDMETHODIMP get_Workgroup(BSTR* v) override { return Get("get_Workgroup", v, [](Channel& c) { return c.workgroup; }); }
  STDMETHODIMP MarkAllRead() override {
    return Call("MarkAllRead", "", [&] {
      Channel& channel = Self();
      std::vector<long> changed;
      for (Story& story : channel.stories) {
        if (!story.Read()) {
          story.SetRead(true);
          changed.push_back(story.id);
        }
      }
      if (!changed.empty()) QueueStoryEvent(client_, Change::Changed, id_, changed, STORY_EVENT_MARKED_AS_READ);
      return S_OK;
    });
  }

  // IZorvaneChannelReplication
  STDMETHODIMP get_ReplicationSource(IDispatch** v) override {
    return Call("get_ReplicationSource", "", [&] {
      *Out(v) = nullptr;
      return Self().has_replication_source ? NewReplicationSource(client_, id_, v) : S_OK;
    });
  }
  STDMETHODIMP get_Replicable(VARIANT_BOOL* v) override {
    return Get("get_Replicable", v, [](Channel& c) { return c.replicable; });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneChannel || iid == IID_IZorvaneChannel2 ||
        iid == IID_IZorvaneChannel4 || iid == IID_IZorvaneChannel4_2)
      return static_cast<IZorvaneChannelReplication*>(this);
    // Only channels that take part in replication answer the replication interface.
    if (iid == IID_IZorvaneChannelReplication) {
      comsupport::CriticalSectionGuard guard(client_.lock());
      Channel* channel = client_.model().FindChannel(id_);
      if (channel && (channel->replicable || channel->has_replication_source))
        return static_cast<IZorvaneChannelReplication*>(this);
    }
    return nullptr;
  }

 private:
  Channel& Self() {
    Channel* channel = client_.model().FindChannel(id_);
    if (!channel) throw Failure(E_FAIL, "channel " + std::to_string(id_) + " no longer exists");
    return *channel;
  }
  template <class T, class Read>
  HRESULT Get(const char* member, T* out, Read read) {
    return Call(member, "", [&] { return PutValue(out, read(Self())); });
  }
  template <class Write>
  HRESULT Set(const char* member, const std::string& arguments, long event, Write write) {
    return Call(member, arguments, [&] {
      write(Self());
      if (event) QueueChannelEvent(client_, Change::Changed, id_, event);
      return S_OK;
    });
  }
  static std::vector<long> IdsOf(const VARIANT& ids) {
    long one = 0;
    if (IndexNumber(ids, &one)) return {one};
    std::vector<long> list;
    try {
      list = LongsOf(ids);
    } catch (const std::invalid_argument&) {
      throw Failure(E_INVALIDARG, "story ids are neither a number nor an array of numbers");
    }
    return list;
  }

  long id_;
};

}  // namespace

HRESULT NewChannelCollection(Client& client, IZorvaneChannelCollection** out) {
  return NewObject<ChannelCollection>(out, client);
}

HRESULT NewChannel(Client& client, long channel_id, IZorvaneChannel** out) {
  ChannelObject* object = new ChannelObject(client, channel_id);
  *out = object;
  return S_OK;
}

}  // namespace standin
