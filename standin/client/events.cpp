#include "events.h"

#include "comsupport/com_ptr.h"
#include "json_value.h"
#include "objects.h"

namespace standin {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

template <class Handler>
Handler* As(IDispatch* handler) {
  return static_cast<Handler*>(handler);  // registered through this very interface
}

// Calls deliver with the ids in the asked form; the array lives for the call.
template <class Deliver>
HRESULT WithIds(const std::vector<long>& ids, IdForm form, Deliver deliver) {
  if (form == IdForm::Natural && ids.size() == 1) {
    Variant one(ids.front());
    return deliver(*one.get());
  }
  if (form == IdForm::VariantArray) {
    std::vector<Variant> elements;
    for (long id : ids) elements.emplace_back(id);
    Variant array = VariantArray(elements);
    return deliver(*array.get());
  }
  Variant array = LongArray(ids);
  if (form != IdForm::ArrayByReference) return deliver(*array.get());
  VARIANT reference;
  ::VariantInit(&reference);
  reference.vt = VT_BYREF | VT_ARRAY | VT_I4;
  reference.pparray = &array.get()->parray;
  return deliver(reference);
}

}  // namespace

void QueueChannelEvent(Client& client, Change change, long channel_id, long events) {
  Client* owner = &client;
  client.notifier().Queue(Source::Channels, change == Change::Changed ? events : 0,
                          [owner, change, channel_id, events](IDispatch* handler) -> HRESULT {
    auto* channels = As<IChannelNotificationHandler>(handler);
    if (change == Change::Deleted) return channels->OnChannelDeleted(channel_id);
    ComPtr<IZorvaneChannel> channel;
    HRESULT hr = NewChannel(*owner, channel_id, channel.put());
    if (FAILED(hr)) return hr;
    if (change == Change::Added) return channels->OnChannelAdded(channel.get());
    return channels->OnChannelChanged(channel.get(), events);
  });
}

void QueueStoryEvent(Client& client, Change change, long channel_id, const std::vector<long>& story_ids,
                     long events, IdForm form) {
  client.notifier().Queue(Source::AllStories, change == Change::Changed ? events : 0,
                          [change, channel_id, story_ids, events, form](IDispatch* handler) {
    auto* stories = As<IStoryNotificationHandler>(handler);
    return WithIds(story_ids, form, [&](VARIANT& ids) {
      switch (change) {
        case Change::Added: return stories->OnStoriesAdded(channel_id, ids);
        case Change::Deleted: return stories->OnStoriesDeleted(channel_id, ids);
        case Change::Changed: break;
      }
      return stories->OnStoriesChanged(channel_id, ids, events);
    });
  });
}

void QueueEntryEvent(Client& client, Change change, long entry_id, long events) {
  client.notifier().Queue(Source::Directory, change == Change::Changed ? events : 0,
                          [change, entry_id, events](IDispatch* handler) {
    auto* directory = As<IDirectoryNotificationHandler>(handler);
    switch (change) {
      case Change::Added: return directory->OnEntryAdded(entry_id);
      case Change::Deleted: return directory->OnEntryDeleted(entry_id);
      case Change::Changed: break;
    }
    return directory->OnEntryChanged(entry_id, events);
  });
}

void QueueSetupEvent(Client& client, long events) {
  client.notifier().Queue(Source::Setup, events, [events](IDispatch* handler) {
    return As<ISetupNotificationHandler>(handler)->OnSetupChanged(events);
  });
}

void QueueVessikEvent(Client& client, Change change, long channel_id, long vessik_id, long events) {
  Client* owner = &client;
  client.notifier().Queue(Source::AllVessiks, change == Change::Changed ? events : 0,
                          [owner, change, channel_id, vessik_id, events](IDispatch* handler) -> HRESULT {
    auto* vessiks = As<IVessikNotificationHandler>(handler);
    if (change == Change::Deleted) return vessiks->OnVessikDeleted(channel_id, vessik_id);
    ComPtr<IZorvaneVessik> vessik;
    HRESULT hr = NewVessik(*owner, vessik_id, vessik.put());
    if (FAILED(hr)) return hr;
    if (change == Change::Added) return vessiks->OnNewVessik(vessik.get());
    return vessiks->OnVessikChanged(vessik.get(), events);
  });
}

void QueueShutdown(Client& client) {
  client.notifier().Queue(Source::Application, ZORVANE_EVENT_SHUTDOWN, [](IDispatch* handler) {
    return As<IAppNotificationHandler>(handler)->OnShutdown();
  });
}

}  // namespace standin
