// NotificationSink: the one COM object through which the client tells the library of its
// events (application, channel, story, directory and setup handler interfaces). Each method
// turns the client's call into notifications for the registered callbacks and returns S_OK
// whatever happened. The sink holds the client objects it registered on and their handles.
#pragma once

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "comsupport/handler_registration.h"
#include "zorvane.h"

namespace ravlin {

class NotificationSink
    : public comsupport::ComObject<comsupport::DispatchImpl<IAppNotificationHandler, &LIBID_ZorvaneLib>,
                                   comsupport::DispatchImpl<IChannelNotificationHandler, &LIBID_ZorvaneLib>,
                                   comsupport::DispatchImpl<IStoryNotificationHandler, &LIBID_ZorvaneLib>,
                                   comsupport::DispatchImpl<IDirectoryNotificationHandler, &LIBID_ZorvaneLib>,
                                   comsupport::DispatchImpl<ISetupNotificationHandler, &LIBID_ZorvaneLib>> {
 public:
  // A new sink with one reference; null when out of memory.
  static NotificationSink* Create();

  // Registers with the client's event sources; a source that cannot be had is skipped.
  void Register(IZorvane4* client);
  // Revokes every registration and releases the objects held.
  void RevokeAll();

  // IAppNotificationHandler
  STDMETHODIMP OnShutdown() override;
  // IChannelNotificationHandler
  STDMETHODIMP OnChannelAdded(IZorvaneChannel* channel) override;
  STDMETHODIMP OnChannelDeleted(LONG channel_id) override;
  STDMETHODIMP OnChannelChanged(IZorvaneChannel* channel, LONG events) override;
  // IStoryNotificationHandler
  STDMETHODIMP OnStoriesAdded(LONG channel_id, VARIANT story_ids) override;
  STDMETHODIMP OnStoriesDeleted(LONG channel_id, VARIANT story_ids) override;
  STDMETHODIMP OnStoriesChanged(LONG channel_id, VARIANT story_ids, LONG events) override;
  // IDirectoryNotificationHandler
  STDMETHODIMP OnEntryAdded(LONG entry_id) override;
  STDMETHODIMP OnEntryDeleted(LONG entry_id) override;
  STDMETHODIMP OnEntryChanged(LONG entry_id, LONG events) override;
  // ISetupNotificationHandler
  STDMETHODIMP OnSetupChanged(LONG events) override;

 protected:
  NotificationSink() = default;
  ~NotificationSink() override = default;
  void* FindInterface(REFIID iid) override;

 private:
  comsupport::HandlerRegistration<IZorvane4> root_;
  comsupport::HandlerRegistration<IZorvaneChannelCollection> channels_;
  comsupport::HandlerRegistration<IZorvaneAllStoryCollection> all_stories_;
  comsupport::ComPtr<IZorvaneDirectory> directory_;
  comsupport::HandlerRegistration<IZorvaneDirectoryEntryCollection> entries_;
  comsupport::HandlerRegistration<IZorvaneSetup> setup_;
};

}  // namespace ravlin
