// ClientExt: the client extension object the Zorvane client creates in its own process. On
// Start it connects back to the client, registers itself as handler of the client's
// application, setup, channel and Vessik events, and watches the Kelvane channel's free
// cache space; arrived Vessiks are handed over for placement; OnShutdown undoes it all.
// Every call comes on the apartment's thread; the watch thread is the object's own.
#pragma once

#include "comsupport/class_factory.h"
#include "comsupport/com_object.h"
#include "comsupport/dispatch_impl.h"
#include "comsupport/handler_registration.h"
#include "comsupport/worker_thread.h"
#include "extension_log.h"
#include "zorvane.h"

namespace hookwell {

// The handler interfaces' type information comes from the client's library.
template <class Interface>
using ClientDispatch = comsupport::DispatchImpl<Interface, &LIBID_ZorvaneLib>;

class ClientExt : public comsupport::ComObject<ClientDispatch<IClientExt>, ClientDispatch<IAppNotificationHandler>,
                                               ClientDispatch<ISetupNotificationHandler>,
                                               ClientDispatch<IChannelNotificationHandler>,
                                               ClientDispatch<IVessikNotificationHandler>> {
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

 private:
  void Connect();
  void Revoke();
  bool WatchOnce(IUnknown* carried);

  ExtensionLog log_;
  comsupport::ComPtr<IZorvane> client_;
  // Only the handles are kept: the collections are obtained anew to revoke.
  comsupport::HandlerRegistration<IZorvane> application_;
  comsupport::HandlerRegistration<IZorvaneSetup> setup_;
  comsupport::HandlerRegistration<IZorvaneChannelCollection> channels_;
  comsupport::HandlerRegistration<IZorvaneAllVessikCollection> all_vessiks_;
  // Declared after the log it writes to, so that it ends first.
  comsupport::WorkerThread watch_;
};

using ClientExtFactory = comsupport::ClassFactory<ClientExt>;

}  // namespace hookwell
