#include "refresh_handlers.h"

#include <memory>
#include <vector>

#include "comsupport/boundary.h"
#include "comsupport/scope_exit.h"
#include "qm/collections.h"
#include "ravlin/ravlin.h"
#include "ravlin_ref.h"
#include "refresh_messages.h"
#include "subscribers.h"
#include "vinnet/services.h"

namespace vinnet {

namespace {

// One refresh message waiting to be sent once the model lock is left.
struct Outgoing {
  RefreshCode code;
  DWORD channel_id;
  LPARAM lparam;
  std::unique_ptr<DATA_LIST> story_ids;  // sent as lParam when present
};
using Outbox = std::vector<Outgoing>;

void Queue(Outbox& outbox, RefreshCode code, DWORD channel_id, LPARAM lparam = 0) {
  outbox.push_back(Outgoing{code, channel_id, lparam, nullptr});
}

void QueueOneStory(Outbox& outbox, DWORD channel_id, DWORD story_id) {
  auto ids = std::make_unique<DATA_LIST>(16);
  ids->Add(story_id);
  outbox.push_back(Outgoing{RefreshCode::StoriesAttributeChanged, channel_id, 0, std::move(ids)});
}

// The record read again from the client; the alerts channel counts as re-read without one.
bool ReRead(CService& service) {
  RavlinRef<ICHANNELINFO> info(ZRGetChannelInfo(service.GetServiceID()));
  if (info) return service.Initialize(info.get()) != 0;
  return service.GetServiceID() == VINNET_ALERTS_CHANNEL_ID;
}

// Sets "Story Local" on the story when the service has it; true when it changed.
bool MarkLocal(CService* service, DWORD story_id) {
  if (!service) return false;
  long index = service->GetStoryIndex(story_id);
  return index >= 0 && service->SetStoryAttribute(index, "Story Local", 1L);
}

long AttributeOf(CService& service, long index, const char* name) {
  long value = 0;
  service.GetStoryAttribute(index, name, value);
  return value;
}

void HandleChannel(CServices& model, UINT message, DWORD channel_id, LPARAM lparam, Outbox& outbox) {
  if (message == kChannelAdded) {
    const CString* name = reinterpret_cast<const CString*>(lparam);
    if (model.AddChannel(channel_id, name ? name->c_str() : "")) {
      CService* added = model.GetServiceByID(channel_id);
      Queue(outbox, RefreshCode::ChannelAdded, channel_id, added ? added->GetDirectoryEntryId() : 0);
    }
    return;
  }
  if (message == kChannelDeleted) {
    CService* service = model.GetServiceByID(channel_id);
    const DWORD entry_id = service ? service->GetDirectoryEntryId() : 0;
    if (model.DeleteChannel(channel_id)) Queue(outbox, RefreshCode::ChannelDeleted, channel_id, entry_id);
    return;
  }
  CService* service = model.GetServiceByID(channel_id);
  if (!service) return;
  switch (message) {
    case kChannelContentChanged: {
      const bool re_read = ReRead(*service);
      service->LoadChannelData();
      if (re_read) Queue(outbox, RefreshCode::ChannelUpdated, channel_id);
      break;
    }
    case kChannelLogoChanged:
    case kChannelCategoryChanged:
    case kChannelNameChanged:
      if (ReRead(*service)) Queue(outbox, RefreshCode::ChannelAttributeChanged, channel_id);
      break;
    case kChannelStateChanged:
      Queue(outbox, RefreshCode::ChannelStatusChanged, channel_id);
      break;
    case kChannelActiveChanged:
      if (ReRead(*service)) Queue(outbox, RefreshCode::ChannelActiveStateChanged, channel_id);
      break;
    case kChannelFlagsChanged:
      if (ReRead(*service)) Queue(outbox, RefreshCode::ChannelFlagsChanged, channel_id);
      break;
    case kStoryCounterChanged:
      if (ReRead(*service)) Queue(outbox, RefreshCode::ChannelCounterChanged, channel_id);
      break;
    default:
      break;
  }
}

// A downloaded story: marked local, and with it the story its alert points at, or the alerts
// that point at it.
void MarkDownloaded(CServices& model, CService& service, DWORD story_id, Outbox& outbox) {
  const DWORD channel_id = service.GetServiceID();
  const long index = service.GetStoryIndex(story_id);
  if (index < 0 || !service.SetStoryAttribute(index, "Story Local", 1L)) return;
  QueueOneStory(outbox, channel_id, story_id);
  if (channel_id == VINNET_ALERTS_CHANNEL_ID) {
    const DWORD target_channel = static_cast<DWORD>(AttributeOf(service, index, "Alert Channel Id"));
    const DWORD target_story = static_cast<DWORD>(AttributeOf(service, index, "Alert Story Id"));
    // An alert that points at itself was marked above.
    if (target_channel == VINNET_ALERTS_CHANNEL_ID) return;
    if (target_channel && MarkLocal(model.GetServiceByID(target_channel), target_story))
      QueueOneStory(outbox, target_channel, target_story);
    return;
  }
  if (AttributeOf(service, index, "Alerted") == 0) return;
  CService* alerts = model.GetMessages();
  if (!alerts) return;
  const long count = alerts->GetNoStories();
  for (long alert = 0; alert < count; ++alert) {
    if (static_cast<DWORD>(AttributeOf(*alerts, alert, "Alert Channel Id")) != channel_id ||
        static_cast<DWORD>(AttributeOf(*alerts, alert, "Alert Story Id")) != story_id)
      continue;
    if (alerts->SetStoryAttribute(alert, "Story Local", 1L))
      QueueOneStory(outbox, VINNET_ALERTS_CHANNEL_ID, alerts->GetStoryId(alert));
  }
}

void SetOnListed(CService& service, const DATA_LIST& ids, const char* attribute, long value) {
  for (long i = 0; i < ids.GetCount(); ++i) {
    long index = service.GetStoryIndex(ids.GetAt(i));
    if (index >= 0) service.SetStoryAttribute(index, attribute, value);
  }
}

void HandleStories(CServices& model, UINT message, DWORD channel_id, std::unique_ptr<DATA_LIST>& ids, Outbox& outbox) {
  CService* service = model.GetServiceByID(channel_id);
  if (!service || !ids) return;
  switch (message) {
    case kStoriesDeleted:
      ReRead(*service);
      for (long i = 0; i < ids->GetCount(); ++i) service->DeleteStory(ids->GetAt(i));
      outbox.push_back(Outgoing{RefreshCode::StoriesDeleted, channel_id, 0, std::move(ids)});
      break;
    case kStoriesRead:
    case kStoriesUnread:
      ReRead(*service);
      SetOnListed(*service, *ids, "Read", message == kStoriesRead ? 1 : 0);
      outbox.push_back(Outgoing{RefreshCode::StoriesAttributeChanged, channel_id, 0, std::move(ids)});
      break;
    case kStoriesKept:
    case kStoriesUnkept:
      SetOnListed(*service, *ids, "Keep", message == kStoriesKept ? 1 : 0);
      outbox.push_back(Outgoing{RefreshCode::StoriesAttributeChanged, channel_id, 0, std::move(ids)});
      break;
    case kStoriesDownloaded:
      for (long i = 0; i < ids->GetCount(); ++i) MarkDownloaded(model, *service, ids->GetAt(i), outbox);
      break;
    default:
      break;
  }
}

}  // namespace

void HandleRefreshMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // The payload is this handler's whatever happens.
  std::unique_ptr<DATA_LIST> ids(IsStoryMessage(message) ? reinterpret_cast<DATA_LIST*>(lparam) : nullptr);
  auto free_name = comsupport::MakeScopeExit([&] {
    if (message == kChannelAdded) FreeMessagePayload(message, lparam);
  });
  comsupport::Boundary("refresh window", 0, [&] {
    const DWORD channel_id = static_cast<DWORD>(wparam);
    Outbox outbox;
    {
      CServices* model = GetCServices();
      if (!model) return 0;
      auto release = comsupport::MakeScopeExit([&] { ReleaseCServices(model); });
      if (IsChannelMessage(message)) HandleChannel(*model, message, channel_id, lparam, outbox);
      if (IsStoryMessage(message)) HandleStories(*model, message, channel_id, ids, outbox);
    }
    for (Outgoing& out : outbox) {
      const LPARAM sent = out.story_ids ? reinterpret_cast<LPARAM>(out.story_ids.get()) : out.lparam;
      SendToSubscribers(RefreshMessage(out.code), out.channel_id, sent);
    }
    return 0;
  });
}

}  // namespace vinnet
