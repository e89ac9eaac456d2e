// Stories: the collections (of a channel, of a Vessik, of every channel), each story and its
// attributes.
#include "events.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::Variant;

struct StoryPlace {
  long channel;
  long story;
};

Story& StoryOf(Client& client, long channel_id, long story_id) {
  Channel* channel = client.model().FindChannel(channel_id);
  Story* story = channel ? channel->FindStory(story_id) : nullptr;
  if (!story) throw Failure(E_FAIL, "story " + std::to_string(story_id) + " no longer exists");
  return *story;
}

// The stories a collection holds: of one channel, of one Vessik, or of all (both ids 0).
std::vector<StoryPlace> StoriesOf(Client& client, long channel_id, long vessik_id) {
  std::vector<StoryPlace> places;
  for (const Channel& channel : client.model().channels) {
    if (channel_id != 0 && channel.id != channel_id) continue;
    for (const Story& story : channel.stories) {
      if (vessik_id == 0 || story.vessik == vessik_id) places.push_back({channel.id, story.id});
    }
  }
  return places;
}

HRESULT EnumerateStories(Client& client, const std::vector<StoryPlace>& places, IUnknown** enumerator) {
  std::vector<Variant> items;
  for (const StoryPlace& place : places) {
    IZorvaneStory* story = nullptr;
    HRESULT hr = NewStory(client, place.channel, place.story, &story);
    if (FAILED(hr)) return hr;
    items.push_back(DispatchVariant(story));
  }
  return NewEnumerator(std::move(items), enumerator);
}

HRESULT StoryItem(Client& client, const std::vector<StoryPlace>& places, const VARIANT& index, IZorvaneStory** story) {
  *Out(story) = nullptr;
  long id = 0;
  if (!IndexNumber(index, &id)) throw Failure(E_INVALIDARG, "a story is found by its id");
  for (const StoryPlace& place : places) {
    if (place.story == id) return NewStory(client, place.channel, place.story, story);
  }
  throw Failure(E_INVALIDARG, "no story " + std::to_string(id));
}

class StoryCollection : public StandinObject<IZorvaneStoryCollection> {
 public:
  StoryCollection(Client& client, long channel_id, long vessik_id)
      : StandinObject(client, "Stories",
                      vessik_id ? "vessik " + std::to_string(vessik_id) : std::to_string(channel_id)),
        channel_id_(channel_id),
        vessik_id_(vessik_id) {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(Places().size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneStory** story) override {
    return Call("get_Item", Arguments(index), [&] { return StoryItem(client_, Places(), index, story); });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] { return EnumerateStories(client_, Places(), Out(enumerator)); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneStoryCollection)
      return static_cast<IZorvaneStoryCollection*>(this);
    return nullptr;
  }

 private:
  std::vector<StoryPlace> Places() {
    if (vessik_id_ == 0 && !client_.model().FindChannel(channel_id_))
      throw Failure(E_FAIL, "channel " + std::to_string(channel_id_) + " no longer exists");
    return StoriesOf(client_, channel_id_, vessik_id_);
  }
  long channel_id_;
  long vessik_id_;
};

class AllStoryCollection : public StandinObject<IZorvaneAllStoryCollection> {
 public:
  explicit AllStoryCollection(Client& client) : StandinObject(client, "AllStories", "") {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(StoriesOf(client_, 0, 0).size())); });
  }
  STDMETHODIMP get_Item(VARIANT index, IZorvaneStory** story) override {
    return Call("get_Item", Arguments(index), [&] { return StoryItem(client_, StoriesOf(client_, 0, 0), index, story); });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] { return EnumerateStories(client_, StoriesOf(client_, 0, 0), Out(enumerator)); });
  }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler),
                [&] { return client_.notifier().Register(Source::AllStories, events, handler, Out(handle)); });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::AllStories, handle); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneAllStoryCollection)
      return static_cast<IZorvaneAllStoryCollection*>(this);
    return nullptr;
  }
};

class StoryObject : public StandinObject<IZorvaneStory2> {
 public:
  StoryObject(Client& client, long channel_id, long story_id)
      : StandinObject(client, "Story", std::to_string(channel_id) + ":" + std::to_string(story_id)),
        channel_id_(channel_id),
        story_id_(story_id) {}

  STDMETHODIMP get_Id(long* id) override {
    return Call("get_Id", "", [&] { return PutLong(id, Self().id); });
  }
  STDMETHODIMP get_Channel(IZorvaneChannel** channel) override {
    return Call("get_Channel", "", [&] {
      Self();
      return NewChannel(client_, channel_id_, Out(channel));
    });
  }
  STDMETHODIMP get_Vessik(IZorvaneVessik** vessik) override {
    return Call("get_Vessik", "", [&] {
      *Out(vessik) = nullptr;
      long id = Self().vessik;
      return id != 0 && client_.model().FindVessik(id) ? NewVessik(client_, id, vessik) : S_OK;
    });
  }
  STDMETHODIMP get_Title(BSTR* title) override {
    return Call("get_Title", "", [&] { return PutText(title, Self().title); });
  }
  STDMETHODIMP get_Field(BSTR name, VARIANT* value) override {
    return Call("get_Field", Arguments(name), [&] {
      const Variant* found = Self().fields.Find(TextOf(name));
      return PutVariant(value, found ? *found : Variant());
    });
  }
  STDMETHODIMP get_Attributes(IZorvaneStoryAttributeCollection** attributes) override {
    return Call("get_Attributes", "", [&] {
      Self();
      return NewStoryAttributes(client_, channel_id_, story_id_, Out(attributes));
    });
  }
  STDMETHODIMP get_Read(VARIANT_BOOL* read) override {
    return Call("get_Read", "", [&] { return PutBool(read, Self().Read()); });
  }
  STDMETHODIMP MarkAsRead() override {
    return Call("MarkAsRead", "", [&] { return Mark(true, true); });
  }
  STDMETHODIMP MarkAsUnread() override {
    return Call("MarkAsUnread", "", [&] { return Mark(false, true); });
  }
  STDMETHODIMP Download() override {
    return Call("Download", "", [&] {
      Self().attributes.Set("Story Local", Variant(1L));
      QueueStoryEvent(client_, Change::Changed, channel_id_, {story_id_}, STORY_EVENT_DOWNLOADED);
      return S_OK;
    });
  }
  STDMETHODIMP Delete() override {
    return Call("Delete", "", [&] {
      Self();
      auto& stories = client_.model().FindChannel(channel_id_)->stories;
      for (auto it = stories.begin(); it != stories.end(); ++it) {
        if (it->id == story_id_) {
          stories.erase(it);
          break;
        }
      }
      QueueStoryEvent(client_, Change::Deleted, channel_id_, {story_id_});
      return S_OK;
    });
  }
  STDMETHODIMP Play(long parent, EStoryPlayFlags flags) override {
    return Call("Play", Arguments(parent, flags), [&] {
      Story& story = Self();
      Player& player = client_.model().player;
      player.last_channel = channel_id_;
      player.last_vessik = story.vessik;
      player.last_name = story.title;
      player.can_replay = true;
      return (flags & STORY_PLAY_NO_MARK_READ) ? S_OK : Mark(true, true);
    });
  }
  STDMETHODIMP MarkAsReadEx(EStoryReadFlags flags) override {
    return Call("MarkAsReadEx", Arguments(flags), [&] { return Mark(true, !(flags & STORY_READ_NO_EVENT)); });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneStory)
      return static_cast<IZorvaneStory2*>(this);
    // An older client's stories have no MarkAsReadEx.
    if (iid == IID_IZorvaneStory2) {
      comsupport::CriticalSectionGuard guard(client_.lock());
      if (client_.model().client.extended_read) return static_cast<IZorvaneStory2*>(this);
    }
    return nullptr;
  }

 private:
  Story& Self() { return StoryOf(client_, channel_id_, story_id_); }
  HRESULT Mark(bool read, bool raise) {
    Story& story = Self();
    if (story.Read() == read) return S_OK;
    story.SetRead(read);
    if (raise) {
      QueueStoryEvent(client_, Change::Changed, channel_id_, {story_id_},
                      read ? STORY_EVENT_MARKED_AS_READ : STORY_EVENT_MARKED_AS_UNREAD);
    }
    return S_OK;
  }

  long channel_id_;
  long story_id_;
};

class StoryAttributes : public StandinObject<IZorvaneStoryAttributeCollection> {
 public:
  StoryAttributes(Client& client, long channel_id, long story_id)
      : StandinObject(client, "Attributes", std::to_string(channel_id) + ":" + std::to_string(story_id)),
        channel_id_(channel_id),
        story_id_(story_id) {}

  STDMETHODIMP get_Count(long* count) override {
    return Call("get_Count", "", [&] { return PutLong(count, static_cast<long>(Values().items().size())); });
  }
  STDMETHODIMP get_Item(VARIANT name, VARIANT* value) override {
    return Call("get_Item", Arguments(name), [&] {
      std::string text = IndexText(name);
      const Variant* found = Values().Find(text);
      if (!found) throw Failure(E_INVALIDARG, "no attribute \"" + text + "\"");
      return PutVariant(value, *found);
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
    return Call("get__NewEnum", "", [&] {
      std::vector<Variant> names;
      for (const auto& item : Values().items()) names.emplace_back(item.first);
      return NewEnumerator(std::move(names), Out(enumerator));
    });
  }
  STDMETHODIMP Add(BSTR name, VARIANT value) override {
    return Call("Add", Arguments(name, value), [&] {
      Variant copy;
      HRESULT hr = ::VariantCopyInd(copy.get(), &value);
      if (FAILED(hr)) return hr;
      Values().Set(TextOf(name), copy);
      return S_OK;
    });
  }
  STDMETHODIMP Remove(VARIANT name) override {
    return Call("Remove", Arguments(name), [&] {
      if (!Values().Remove(IndexText(name))) throw Failure(E_INVALIDARG, "no such attribute");
      return S_OK;
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneStoryAttributeCollection)
      return static_cast<IZorvaneStoryAttributeCollection*>(this);
    return nullptr;
  }

 private:
  NamedValues& Values() { return StoryOf(client_, channel_id_, story_id_).attributes; }
  long channel_id_;
  long story_id_;
};

}  // namespace

HRESULT NewStoryCollection(Client& client, long channel_id, long vessik_id, IZorvaneStoryCollection** out) {
  return NewObject<StoryCollection>(out, client, channel_id, vessik_id);
}
HRESULT NewAllStoryCollection(Client& client, IZorvaneAllStoryCollection** out) {
  return NewObject<AllStoryCollection>(out, client);
}
HRESULT NewStory(Client& client, long channel_id, long story_id, IZorvaneStory** out) {
  return NewObject<StoryObject>(out, client, channel_id, story_id);
}
HRESULT NewStoryAttributes(Client& client, long channel_id, long story_id, IZorvaneStoryAttributeCollection** out) {
  return NewObject<StoryAttributes>(out, client, channel_id, story_id);
}

}  // namespace standin
