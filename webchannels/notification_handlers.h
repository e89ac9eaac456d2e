// The four objects the control registers with the client for its notifications. Each holds a
// back pointer to the control (cleared when the control goes) and, except for shutdown, only
// posts the call's arguments to the control's notification window.
#pragma once

#include <windows.h>

#include <vector>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "zorvane.h"

namespace chanbind {

class Chanbind;

// Private messages of the notification window.
enum NotificationMessage : UINT {
  kSetupChanged = WM_APP + 0,
  kReadyStateComplete = WM_APP + 1,
  kChannelAdded = WM_APP + 2,
  kChannelChanged = WM_APP + 3,
  kChannelDeleted = WM_APP + 4,
  kStoriesAdded = WM_APP + 5,
  kStoriesChanged = WM_APP + 6,
  kStoriesDeleted = WM_APP + 7,
};

// What a posted notification carries (owned by the message; the window deletes it).
struct Notification {
  long channel_id = 0;
  long events = 0;
  std::vector<long> story_ids;
  comsupport::ComPtr<IZorvaneChannel> channel;
};

// The story ids of a notification's VARIANT (one VT_I4 or an array).
std::vector<long> StoryIdsOf(const VARIANT& ids);

template <class Interface>
class NotificationHandler : public comsupport::ComObject<comsupport::DispatchImpl<Interface, &LIBID_ZorvaneLib>> {
 public:
  explicit NotificationHandler(Chanbind* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) return static_cast<Interface*>(this);
    return nullptr;
  }
  Chanbind* owner_;
};

class AppHandler : public NotificationHandler<IAppNotificationHandler> {
 public:
  using NotificationHandler::NotificationHandler;
  STDMETHODIMP OnShutdown() override;
};

class SetupHandler : public NotificationHandler<ISetupNotificationHandler> {
 public:
  using NotificationHandler::NotificationHandler;
  STDMETHODIMP OnSetupChanged(long events) override;
};

class ChannelHandler : public NotificationHandler<IChannelNotificationHandler> {
 public:
  using NotificationHandler::NotificationHandler;
  STDMETHODIMP OnChannelAdded(IZorvaneChannel* channel) override;
  STDMETHODIMP OnChannelDeleted(long channel_id) override;
  STDMETHODIMP OnChannelChanged(IZorvaneChannel* channel, long events) override;
};

class StoryHandler : public NotificationHandler<IStoryNotificationHandler> {
 public:
  using NotificationHandler::NotificationHandler;
  STDMETHODIMP OnStoriesAdded(long channel_id, VARIANT ids) override;
  STDMETHODIMP OnStoriesDeleted(long channel_id, VARIANT ids) override;
  STDMETHODIMP OnStoriesChanged(long channel_id, VARIANT ids, long events) override;
};

}  // namespace chanbind
