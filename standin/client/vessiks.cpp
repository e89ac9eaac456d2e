// Vessiks: the collections (of a channel, of every channel), each package and its files.
#include "events.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::Variant;

Vessik& VessikOf(Client& client, long vessik_id) {
  Vessik* vessik = client.model().FindVessik(vessik_id);
  if (!vessik) throw Failure(E_FAIL, "Vessik " + std::to_string(vessik_id) + " no longer exists");
  return *vessik;
}

// Ids of the Vessiks of one channel, or of all (channel 0).
std::vector<long> VessiksOf(Client& client, long channel_id) {
  std::vector<long> ids;
  for (const Vessik& vessik : client.model().vessiks) {
    if (channel_id == 0 || vessik.channel == channel_id) ids.push_back(vessik.id);
  }
  return ids;
}

HRESULT VessikItem(Client& client, const std::vector<long>& ids, const VARIANT& index, IZorvaneVessik** vessik) {
  *Out(vessik) = nullptr;
  long id = 0;
  if (!IndexNumber(index, &id)) throw Failure(E_INVALIDARG, "a Vessik is found by its id");
  for (long present : ids) {
    if (present == id) return NewVessik(client, id, vessik);
  }
  throw Failure(E_INVALIDARG, "no Vessik " + std::to_string(id));
}

HRESULT EnumerateVessiks(Client& client, const std::vector<long>& ids, IUnknown** enumerator) {
  std::vector<Variant> items;
  for (long id : ids) {
    IZorvaneVessik* vessik = nullptr;
    HRESULT hr = NewVessik(client, id, &vessik);
    if (FAILED(hr)) return hr;
    items.push_back(DispatchVariant(vessik));
  }
  return NewEnumerator(std::move(items), enumerator);
}

class VessikCollection : public StandinObject<IZorvaneVessikCollection> {
 public:
  VessikCollection(Client& client, long channel_id)
      : StandinObject(client, "Vessiks", std::to_string(channel_id)), channel_id_(channel_id) {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(Ids().size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneVessik** vessik) override {
    return Call("get_Item", Arguments(index), [&] { return VessikItem(client_, Ids(), index, vessik); });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] { return EnumerateVessiks(client_, Ids(), Out(enumerator)); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneVessikCollection)
      return static_cast<IZorvaneVessikCollection*>(this);
    return nullptr;
  }

 private:
  std::vector<long> Ids() {
    if (!client_.model().FindChannel(channel_id_))
      throw Failure(E_FAIL, "channel " + std::to_string(channel_id_) + " no longer exists");
    return VessiksOf(client_, channel_id_);
  }
  long channel_id_;
};

class AllVessikCollection : public StandinObject<IZorvaneAllVessikCollection> {
 public:
  explicit AllVessikCollection(Client& client) : StandinObject(client, "AllVessiks", "") {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(client_.model().vessiks.size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneVessik** vessik) override {
    return Call("get_Item", Arguments(index), [&] { return VessikItem(client_, VessiksOf(client_, 0), index, vessik); });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] { return EnumerateVessiks(client_, VessiksOf(client_, 0), Out(enumerator)); });
  }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler),
                [&] { return client_.notifier().Register(Source::AllVessiks, events, handler, Out(handle)); });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::AllVessiks, handle); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneAllVessikCollection)
      return static_cast<IZorvaneAllVessikCollection*>(this);
    return nullptr;
  }
};

class VessikObject : public StandinObject<IZorvaneVessik3> {
 public:
  VessikObject(Client& client, long id) : StandinObject(client, "Vessik", std::to_string(id)), id_(id) {}
  long id() const { return id_; }

  STDMETHODIMP get_Id(long* v) override { return Get("get_Id", v, [](Vessik& p) { return p.id; }); }
  STDMETHODIMP get_Channel(IZorvaneChannel** channel) override {
    return Call("get_Channel", "", [&] {
      *Out(channel) = nullptr;
      long channel_id = Self().channel;
      if (!client_.model().FindChannel(channel_id))
        throw Failure(E_FAIL, "the Vessik's channel " + std::to_string(channel_id) + " does not exist");
      return NewChannel(client_, channel_id, channel);
    });
  }
  STDMETHODIMP get_Name(BSTR* v) override { return Get("get_Name", v, [](Vessik& p) { return p.name; }); }
  STDMETHODIMP get_Directory(BSTR* v) override { return Get("get_Directory", v, [](Vessik& p) { return p.directory; }); }
  STDMETHODIMP get_Type(long* v) override { return Get("get_Type", v, [](Vessik& p) { return p.type; }); }
  STDMETHODIMP get_Flags(long* v) override { return Get("get_Flags", v, [](Vessik& p) { return p.flags; }); }
  STDMETHODIMP get_Version(long* v) override { return Get("get_Version", v, [](Vessik& p) { return p.version; }); }
  STDMETHODIMP get_Description(BSTR* v) override {
    return Get("get_Description", v, [](Vessik& p) { return p.description; });
  }
  STDMETHODIMP get_ServerAddress(BSTR* v) override {
    return Get("get_ServerAddress", v, [](Vessik& p) { return p.server_address; });
  }
  STDMETHODIMP get_SourceURL(BSTR* v) override { return Get("get_SourceURL", v, [](Vessik& p) { return p.source_url; }); }
  STDMETHODIMP get_TimeCreated(long* v) override {
    return Get("get_TimeCreated", v, [](Vessik& p) { return p.time_created; });
  }
  STDMETHODIMP get_TimeReceived(long* v) override {
    return Get("get_TimeReceived", v, [](Vessik& p) { return p.time_received; });
  }
  STDMETHODIMP get_TimeExpires(long* v) override {
    return Get("get_TimeExpires", v, [](Vessik& p) { return p.time_expires; });
  }
  STDMETHODIMP put_TimeExpires(long v) override {
    return Set("put_TimeExpires", Arguments(v), [&](Vessik& p) { p.time_expires = v; });
  }
  STDMETHODIMP get_TimeLastPlayed(long* v) override {
    return Get("get_TimeLastPlayed", v, [](Vessik& p) { return p.time_last_played; });
  }
  STDMETHODIMP get_PlayCount(long* v) override { return Get("get_PlayCount", v, [](Vessik& p) { return p.play_count; }); }
  STDMETHODIMP get_Priority(long* v) override { return Get("get_Priority", v, [](Vessik& p) { return p.priority; }); }
  STDMETHODIMP put_Priority(long v) override {
    return Set("put_Priority", Arguments(v), [&](Vessik& p) { p.priority = v; });
  }
  STDMETHODIMP get_KeepMode(long* v) override { return Get("get_KeepMode", v, [](Vessik& p) { return p.keep_mode; }); }
  // Keeping or unkeeping tells story handlers about the stories of the package.
  STDMETHODIMP put_KeepMode(long v) override {
    return Call("put_KeepMode", Arguments(v), [&] {
      Vessik& vessik = Self();
      bool was_kept = vessik.keep_mode & KEEP_MODE_KEEP;
      vessik.keep_mode = v;
      bool kept = v & KEEP_MODE_KEEP;
      if (kept != was_kept) {
        std::vector<long> stories;
        if (Channel* channel = client_.model().FindChannel(vessik.channel)) {
          for (const Story& story : channel->stories) {
            if (story.vessik == id_) stories.push_back(story.id);
          }
        }
        if (!stories.empty()) {
          QueueStoryEvent(client_, Change::Changed, vessik.channel, stories,
                          kept ? STORY_EVENT_KEPT : STORY_EVENT_UNKEPT);
        }
      }
      return S_OK;
    });
  }
  STDMETHODIMP get_Signed(VARIANT_BOOL* v) override { return Get("get_Signed", v, [](Vessik& p) { return p.signed_package; }); }
  STDMETHODIMP get_Signer(BSTR* v) override { return Get("get_Signer", v, [](Vessik& p) { return p.signer; }); }
  STDMETHODIMP get_Replicable(VARIANT_BOOL* v) override {
    return Get("get_Replicable", v, [](Vessik& p) { return p.replicable; });
  }
  STDMETHODIMP get_Autoplay(VARIANT_BOOL* v) override { return Get("get_Autoplay", v, [](Vessik& p) { return p.autoplay; }); }
  STDMETHODIMP put_Autoplay(VARIANT_BOOL v) override {
    return Set("put_Autoplay", Arguments(v), [&](Vessik& p) { p.autoplay = v != VARIANT_FALSE; });
  }
  STDMETHODIMP get_State(long* v) override { return Get("get_State", v, [](Vessik& p) { return p.state; }); }
  STDMETHODIMP get_DownloadedSize(long* v) override { return Get("get_DownloadedSize", v, [](Vessik& p) { return p.size; }); }
  STDMETHODIMP get_Stories(IZorvaneStoryCollection** stories) override {
    return Call("get_Stories", "", [&] {
      Self();
      return NewStoryCollection(client_, 0, id_, Out(stories));
    });
  }
  STDMETHODIMP get_MainFile(BSTR* v) override { return Get("get_MainFile", v, [](Vessik& p) { return p.main_file; }); }
  STDMETHODIMP get_IconFile(BSTR* v) override { return Get("get_IconFile", v, [](Vessik& p) { return p.icon_file; }); }
  STDMETHODIMP get_Category(BSTR* v) override { return Get("get_Category", v, [](Vessik& p) { return p.category; }); }
  STDMETHODIMP get_CompressedSize(long* v) override { return Get("get_CompressedSize", v, [](Vessik& p) { return p.size; }); }
  STDMETHODIMP get_Size(long* v) override { return Get("get_Size", v, [](Vessik& p) { return p.size; }); }
  STDMETHODIMP Play() override {
    return Call("Play", "", [&] {
      Vessik& vessik = Self();
      ++vessik.play_count;
      Player& player = client_.model().player;
      player.last_channel = vessik.channel;
      player.last_vessik = id_;
      player.last_name = vessik.name;
      player.can_replay = true;
      return S_OK;
    });
  }
  // Modal until the user closes it, as the client's own is; shown outside the client's lock so
  // that other callers are served meanwhile.
  STDMETHODIMP ShowPropertiesDialog(long parent) override {
    std::string name;
    HRESULT hr = Call("ShowPropertiesDialog", Arguments(parent), [&] {
      name = Self().name;
      return S_OK;
    });
    if (FAILED(hr)) return hr;
    HWND owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(parent));
    ::MessageBoxA(::IsWindow(owner) ? owner : nullptr, ("Package " + name).c_str(), (name + " Properties").c_str(),
                  MB_OK | MB_SETFOREGROUND);
    return S_OK;
  }
  STDMETHODIMP Delete() override {
    return Call("Delete", "", [&] {
      long channel = Self().channel;
      auto& vessiks = client_.model().vessiks;
      for (auto it = vessiks.begin(); it != vessiks.end(); ++it) {
        if (it->id == id_) {
          vessiks.erase(it);
          break;
        }
      }
      QueueVessikEvent(client_, Change::Deleted, channel, id_);
      return S_OK;
    });
  }
  STDMETHODIMP Access(long flags, long minutes) override {
    return Set("Access", Arguments(flags, minutes), [](Vessik& p) { p.accessed = true; });
  }
  STDMETHODIMP EndAccess() override { return Set("EndAccess", "", [](Vessik& p) { p.accessed = false; }); }
  STDMETHODIMP get_IsAccessed(VARIANT_BOOL* v) override { return Get("get_IsAccessed", v, [](Vessik& p) { return p.accessed; }); }
  STDMETHODIMP get_AuthenticationState(EVessikAuthenticationState* v) override {
    return Call("get_AuthenticationState", "", [&] {
      *Out(v) = static_cast<EVessikAuthenticationState>(Self().auth_state);
      return S_OK;
    });
  }
  STDMETHODIMP get_ApprovalDialog(IZorvaneDialog** dialog) override {
    return Call("get_ApprovalDialog", "", [&] {
      Self();
      return NewDialog(client_, "ApprovalDialog", "Approve", Out(dialog));
    });
  }
  STDMETHODIMP RecordUserInteraction(long interaction) override {
    return Set("RecordUserInteraction", Arguments(interaction), [](Vessik&) {});
  }
  STDMETHODIMP get_Files(IZorvaneVessikFileCollection** files) override {
    return Call("get_Files", "", [&] {
      Self();
      return NewVessikFiles(client_, id_, Out(files));
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneVessik)
      return static_cast<IZorvaneVessik3*>(this);
    // An older client's packages have neither file access nor authentication.
    if (iid == IID_IZorvaneVessik2 || iid == IID_IZorvaneVessik3) {
      comsupport::CriticalSectionGuard guard(client_.lock());
      const Vessik* vessik = client_.model().FindVessik(id_);
      if (vessik && vessik->extras) return static_cast<IZorvaneVessik3*>(this);
    }
    return nullptr;
  }

 private:
  Vessik& Self() { return VessikOf(client_, id_); }
  template <class T, class Read>
  HRESULT Get(const char* member, T* out, Read read) {
    return Call(member, "", [&] { return PutValue(out, read(Self())); });
  }
  template <class Write>
  HRESULT Set(const char* member, const std::string& arguments, Write write) {
    return Call(member, arguments, [&] {
      write(Self());
      return S_OK;
    });
  }
  long id_;
};

class VessikFiles : public StandinObject<IZorvaneVessikFileCollection> {
 public:
  VessikFiles(Client& client, long vessik_id)
      : StandinObject(client, "VessikFiles", std::to_string(vessik_id)), vessik_id_(vessik_id) {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(Files().size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, BSTR* path) override {
    return Call("get_Item", Arguments(index), [&] {
      long position = 0;
      const auto& files = Files();
      if (!IndexNumber(index, &position) || position < 0 || position >= static_cast<long>(files.size()))
        throw Failure(E_INVALIDARG, "no file at " + ArgumentText(index));
      return PutText(path, files[position]);
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] {
      std::vector<Variant> paths;
      for (const std::string& file : Files()) paths.emplace_back(file);
      return NewEnumerator(std::move(paths), Out(enumerator));
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneVessikFileCollection)
      return static_cast<IZorvaneVessikFileCollection*>(this);
    return nullptr;
  }

 private:
  const std::vector<std::string>& Files() { return VessikOf(client_, vessik_id_).files; }
  long vessik_id_;
};

}  // namespace

long VessikIdOf(IZorvaneVessik* package) {
  auto* ours = dynamic_cast<VessikObject*>(package);
  return ours ? ours->id() : 0;
}

HRESULT NewVessikCollection(Client& client, long channel_id, IZorvaneVessikCollection** out) {
  return NewObject<VessikCollection>(out, client, channel_id);
}
HRESULT NewAllVessikCollection(Client& client, IZorvaneAllVessikCollection** out) {
  return NewObject<AllVessikCollection>(out, client);
}
HRESULT NewVessik(Client& client, long vessik_id, IZorvaneVessik** out) {
  return NewObject<VessikObject>(out, client, vessik_id);
}
HRESULT NewVessikFiles(Client& client, long vessik_id, IZorvaneVessikFileCollection** out) {
  return NewObject<VessikFiles>(out, client, vessik_id);
}

}  // namespace standin
