// ClientExt: the client extension object the Zorvane client creates in its own process. On
// Start it connects back to the client, registers itself as handler of the client's
// application, setup, channel and Vessik events, and watches the Kelvane channel's free
// cache space; arrived Vessiks are handed over for placement; OnShutdown undoes it all.
// Every call comes on the apartment's thread; the watch thread is the object's own.
#pragma once

#include "comsupport/class_factory.h"
#include "comsupport/com_object.h"
#include "comsupport/dispatch_impl.h"
#include "extension_log.h"
#include "watch_thread.h"
#include "zorvane.h"

namespace hookwell {

class ClientExt : public comsupport::ComObject<comsupport::DispatchImpl<IClientExt>,
                                               comsupport::DispatchImpl<IAppNotificationHandler>,
                                               comsupport::DispatchImpl<ISetupNotificationHandler>,
                                               comsupport::DispatchImpl<IChannelNotificationHandler>,
                                               comsupport::DispatchImpl<IVessikNotificationHandler>> {
 public:
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    return comsupport::CreateAggregatable<ClientExt>(outer, iid, out);
  }

  ClientExt() = default;

  // IClientExt
  STDMETHODIMP Start() override;
  // IAppNotificationHandler
  STDMETHODIMP OnShutdown() override;
  // ISetupNotificationHandler
  STDMETHODIMP OnSetupChanged(LONG) override { return S_OK; }
  // IChannelNotificationHandler
  STDMETHODIMP OnChannelAdded(IZorvaneChannel*) override { return S_OK; }
  STDMETHODIMP OnChannelDeleted(LONG) override { return S_OK; }
  STDMETHODIMP OnChannelChanged(IZorvaneChannel*, LONG) override { return S_OK; }
  // IVessikNotificationHandler
  STDMETHODIMP OnNewVessik(IZorvaneVessik* vessik) override;
  STDMETHODIMP OnVessikDeleted(LONG channel_id, LONG vessik_id) override;
  STDMETHODIMP OnVessikChanged(IZorvaneVessik*, LONG) override { return S_OK; }

 protected:
  ~ClientExt() override = default;
  void* FindInterface(REFIID iid) override;
  HRESULT LoadTypeLibrary(ITypeLib** library) override;

 private:
  static constexpr LONG kNoHandle = -1;

  void Connect();
  void Revoke();
  bool WatchOnce(IUnknown* carried);

  ExtensionLog log_;
  comsupport::ComPtr<IZorvane> client_;
  LONG application_handle_ = kNoHandle;
  LONG setup_handle_ = kNoHandle;
  LONG channels_handle_ = kNoHandle;
  LONG all_vessiks_handle_ = kNoHandle;
  // Declared after the log it writes to, so that it ends first.
  WatchThread watch_;
};

using ClientExtFactory = comsupport::ClassFactory<ClientExt>;

}  // namespace hookwell
