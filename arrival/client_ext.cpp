#include "client_ext.h"

#include "cache_check.h"
#include "caught_errors.h"
#include "handover.h"
#include "kelvane_channel.h"

namespace hookwell {

namespace {

using comsupport::ComPtr;

constexpr char kLogModule[] = "ClientExt";
// The watch's first check follows Start's by a minute, the next ones come every five.
constexpr DWORD kFirstWatchIntervalMs = 60000;
constexpr DWORD kWatchIntervalMs = 300000;
// Every class context the client's application object may come from.
constexpr DWORD kClientContexts =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

struct ClientCollections {
  ComPtr<IZorvaneSetup> setup;
  ComPtr<IZorvaneChannelCollection> channels;
  ComPtr<IZorvaneAllVessikCollection> all_vessiks;
};

ClientCollections CollectionsOf(IZorvane* client) {
  ClientCollections collections;
  COMSUPPORT_CHECK(IZorvane, client->get_Setup(collections.setup.put()));
  COMSUPPORT_CHECK(IZorvane, client->get_Channels(collections.channels.put()));
  COMSUPPORT_CHECK(IZorvane, client->get_AllVessiks(collections.all_vessiks.put()));
  Required(collections.setup);
  Required(collections.channels);
  Required(collections.all_vessiks);
  return collections;
}

ComPtr<IZorvane> CreateClient() {
  ComPtr<IUnknown> object;
  COMSUPPORT_CHECK(IUnknown, ::CoCreateInstance(CLSID_Zorvane, nullptr, kClientContexts, IID_IUnknown,
                                                object.put_void()));
  COMSUPPORT_CHECK(IUnknown, ::OleRun(object.get()));
  return object.As<IZorvane>();
}

}  // namespace

void* ClientExt::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IClientExt) return static_cast<IClientExt*>(this);
  if (iid == IID_IAppNotificationHandler) return static_cast<IAppNotificationHandler*>(this);
  if (iid == IID_ISetupNotificationHandler) return static_cast<ISetupNotificationHandler*>(this);
  if (iid == IID_IChannelNotificationHandler) return static_cast<IChannelNotificationHandler*>(this);
  if (iid == IID_IVessikNotificationHandler) return static_cast<IVessikNotificationHandler*>(this);
  return nullptr;
}

STDMETHODIMP ClientExt::Start() {
  // The warning box of the first check lets calls in; none may end this object meanwhile.
  const ComPtr<IUnknown> keep_alive(static_cast<IClientExt*>(this));
  try {
    Connect();
  } catch (...) {
    // Start reports E_FAIL whatever happened, and nothing of it is logged.
  }
  return E_FAIL;
}

void ClientExt::Connect() {
  client_ = CreateClient();
  if (!client_) return;
  IUnknown* handler = static_cast<IClientExt*>(this);
  constexpr bool kKeepSource = false;
  COMSUPPORT_CHECK(IZorvane, application_.Register(client_.get(), ZORVANE_EVENT_SHUTDOWN, handler, kKeepSource));
  ClientCollections collections = CollectionsOf(client_.get());
  COMSUPPORT_CHECK(IZorvaneSetup, setup_.Register(collections.setup.get(), -1, handler, kKeepSource));
  COMSUPPORT_CHECK(IZorvaneChannelCollection, channels_.Register(collections.channels.get(), -1, handler, kKeepSource));
  COMSUPPORT_CHECK(IZorvaneAllVessikCollection,
                   all_vessiks_.Register(collections.all_vessiks.get(), -1, handler, kKeepSource));
  // The warning box lets calls in, OnShutdown among them: keep the client for the check,
  // and start no watch after a shutdown.
  const ComPtr<IZorvane> client = client_;
  CheckKelvaneFreeSpace(client.get(), log_);
  if (!client_) return;
  // The thread gets its own reference to the client, valid in its own apartment.
  watch_.Start(IID_IZorvane, client_.get(), [this](IUnknown* carried) { return WatchOnce(carried); },
               {kFirstWatchIntervalMs, kWatchIntervalMs});
}

bool ClientExt::WatchOnce(IUnknown* carried) {
  try {
    ComPtr<IZorvane> client = Required(ComPtr<IUnknown>(carried)).As<IZorvane>();
    CheckKelvaneFreeSpace(Required(client).get(), log_);
    return true;
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log_, kLogModule, ComErrors::AsUnhandled);
    return false;
  }
}

STDMETHODIMP ClientExt::OnShutdown() {
  // Waiting for the watch lets calls in; none may end this object meanwhile.
  const ComPtr<IUnknown> keep_alive(static_cast<IClientExt*>(this));
  try {
    Revoke();
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log_, kLogModule, ComErrors::Apart);
  }
  // Whatever failed above, the watch ends before the client is let go and before we return.
  watch_.Stop();
  try {
    if (!client_) throw comsupport::ComError(E_POINTER, IID_IZorvane, std::string());
    client_.reset();
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log_, kLogModule, ComErrors::Apart);
  }
  return S_OK;
}

void ClientExt::Revoke() {
  if (!application_.registered()) return;
  Required(client_);
  COMSUPPORT_CHECK(IZorvane, application_.RevokeThrough(client_.get()));
  ClientCollections collections = CollectionsOf(client_.get());
  if (setup_.registered()) COMSUPPORT_CHECK(IZorvaneSetup, setup_.RevokeThrough(collections.setup.get()));
  if (channels_.registered())
    COMSUPPORT_CHECK(IZorvaneChannelCollection, channels_.RevokeThrough(collections.channels.get()));
  if (all_vessiks_.registered())
    COMSUPPORT_CHECK(IZorvaneAllVessikCollection, all_vessiks_.RevokeThrough(collections.all_vessiks.get()));
}

STDMETHODIMP ClientExt::OnNewVessik(IZorvaneVessik* vessik) {
  HandOverVessik(vessik, log_);
  return S_OK;
}

STDMETHODIMP ClientExt::OnVessikDeleted(LONG, LONG) {
  try {
    ComPtr<IZorvaneChannelCollection> channels;
    COMSUPPORT_CHECK(IZorvane, Required(client_)->get_Channels(channels.put()));
    LONG id = 0;
    // Looked up and dropped: nothing depends on it.
    COMSUPPORT_CHECK(IZorvaneChannel, KelvaneChannel(Required(channels).get())->get_Id(&id));
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log_, kLogModule, ComErrors::AsUnhandled);
  }
  return S_OK;
}

}  // namespace hookwell
