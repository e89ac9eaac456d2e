#include "notification_handlers.h"

#include "chanbind_control.h"
#include "comsupport/boundary.h"

namespace chanbind {

std::vector<long> StoryIdsOf(const VARIANT& ids) {
  std::vector<long> result;
  const VARIANT* value = &ids;
  if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) value = value->pvarVal;
  if (!(value->vt & VT_ARRAY)) {
    VARIANT number;
    ::VariantInit(&number);
    if (SUCCEEDED(::VariantChangeType(&number, const_cast<VARIANT*>(value), 0, VT_I4))) result.push_back(number.lVal);
    return result;
  }
  SAFEARRAY* array = (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
  if (!array || ::SafeArrayGetDim(array) != 1) return result;
  LONG low = 0, high = -1;
  ::SafeArrayGetLBound(array, 1, &low);
  ::SafeArrayGetUBound(array, 1, &high);
  const VARTYPE type = value->vt & VT_TYPEMASK;
  for (LONG i = low; i <= high; ++i) {
    if (type == VT_I4) {
      long id = 0;
      if (SUCCEEDED(::SafeArrayGetElement(array, &i, &id))) result.push_back(id);
    } else if (type == VT_VARIANT) {
      VARIANT element, number;
      ::VariantInit(&element);
      ::VariantInit(&number);
      if (SUCCEEDED(::SafeArrayGetElement(array, &i, &element)) &&
          SUCCEEDED(::VariantChangeType(&number, &element, 0, VT_I4))) {
        result.push_back(number.lVal);
      }
      ::VariantClear(&element);
    }
  }
  return result;
}

namespace {

void Post(Chanbind* owner, UINT message, std::unique_ptr<Notification> notification) {
  if (owner) owner->PostNotification(message, std::move(notification));
}

}  // namespace

STDMETHODIMP AppHandler::OnShutdown() {
  comsupport::ComBoundary("AppHandler::OnShutdown", [&] {
    if (owner_) owner_->OnClientShutdown();
  });
  return S_OK;
}

STDMETHODIMP SetupHandler::OnSetupChanged(long events) {
  comsupport::ComBoundary("SetupHandler::OnSetupChanged", [&] {
    auto notification = std::make_unique<Notification>();
    notification->events = events;
    Post(owner_, kSetupChanged, std::move(notification));
  });
  return S_OK;
}

STDMETHODIMP ChannelHandler::OnChannelAdded(IZorvaneChannel* channel) {
  comsupport::ComBoundary("ChannelHandler::OnChannelAdded", [&] {
    auto notification = std::make_unique<Notification>();
    notification->channel = comsupport::ComPtr<IZorvaneChannel>(channel);
    Post(owner_, kChannelAdded, std::move(notification));
  });
  return S_OK;
}

STDMETHODIMP ChannelHandler::OnChannelDeleted(long channel_id) {
  comsupport::ComBoundary("ChannelHandler::OnChannelDeleted", [&] {
    auto notification = std::make_unique<Notification>();
    notification->channel_id = channel_id;
    Post(owner_, kChannelDeleted, std::move(notification));
  });
  return S_OK;
}

STDMETHODIMP ChannelHandler::OnChannelChanged(IZorvaneChannel* channel, long events) {
  comsupport::ComBoundary("ChannelHandler::OnChannelChanged", [&] {
    auto notification = std::make_unique<Notification>();
    notification->channel = comsupport::ComPtr<IZorvaneChannel>(channel);
    notification->events = events;
    Post(owner_, kChannelChanged, std::move(notification));
  });
  return S_OK;
}

namespace {

void PostStories(Chanbind* owner, UINT message, long channel_id, const VARIANT& ids, long events) {
  auto notification = std::make_unique<Notification>();
  notification->channel_id = channel_id;
  notification->story_ids = StoryIdsOf(ids);
  notification->events = events;
  Post(owner, message, std::move(notification));
}

}  // namespace

STDMETHODIMP StoryHandler::OnStoriesAdded(long channel_id, VARIANT ids) {
  comsupport::ComBoundary("StoryHandler::OnStoriesAdded",
                          [&] { PostStories(owner_, kStoriesAdded, channel_id, ids, 0); });
  return S_OK;
}

STDMETHODIMP StoryHandler::OnStoriesDeleted(long channel_id, VARIANT ids) {
  comsupport::ComBoundary("StoryHandler::OnStoriesDeleted",
                          [&] { PostStories(owner_, kStoriesDeleted, channel_id, ids, 0); });
  return S_OK;
}

STDMETHODIMP StoryHandler::OnStoriesChanged(long channel_id, VARIANT ids, long events) {
  comsupport::ComBoundary("StoryHandler::OnStoriesChanged",
                          [&] { PostStories(owner_, kStoriesChanged, channel_id, ids, events); });
  return S_OK;
}

}  // namespace chanbind
