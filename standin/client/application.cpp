// The application object (ProgID "Zorvane") with the alert and filter setup dialogs it answers.
#include "comsupport/class_factory.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::DispatchImpl;

class Application
    : public StandinObject<IZorvane4, DispatchImpl<IZorvaneAlertSetup>, DispatchImpl<IZorvaneFilterSetup>> {
 public:
  explicit Application(Client& client) : StandinObject(client, "Application", "") {}

  STDMETHODIMP get_Name(BSTR* name) override {
    return Call("get_Name", "", [&] { return PutText(name, client_.model().client.name); });
  }
  STDMETHODIMP get_Channels(IZorvaneChannelCollection** channels) override {
    return Call("get_Channels", "", [&] { return NewChannelCollection(client_, Out(channels)); });
  }
  STDMETHODIMP get_AllVessiks(IZorvaneAllVessikCollection** vessiks) override {
    return Call("get_AllVessiks", "", [&] { return NewAllVessikCollection(client_, Out(vessiks)); });
  }
  STDMETHODIMP get_Player(IZorvanePlayer** player) override {
    return Call("get_Player", "", [&] { return NewPlayer(client_, Out(player)); });
  }
  STDMETHODIMP get_Setup(IZorvaneSetup** setup) override {
    return Call("get_Setup", "", [&] { return NewSetup(client_, Out(setup)); });
  }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler), [&] {
      return client_.notifier().Register(Source::Application, events, handler, Out(handle));
    });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::Application, handle); });
  }
  STDMETHODIMP Shutdown() override {
    return Call("Shutdown", "", [&] {
      client_.BeginShutdown();
      return S_OK;
    });
  }
  STDMETHODIMP get_ChannelDirectory(IZorvaneDirectory** directory) override {
    return Call("get_ChannelDirectory", "", [&] { return NewDirectory(client_, Out(directory)); });
  }
  STDMETHODIMP OpenUserInterface(EUserInterface kind) override {
    return Call("OpenUserInterface", Arguments(kind), [] { return S_OK; });
  }
  STDMETHODIMP get_AllStories(IZorvaneAllStoryCollection** stories) override {
    return Call("get_AllStories", "", [&] { return NewAllStoryCollection(client_, Out(stories)); });
  }
  STDMETHODIMP get_Communications(IZorvaneCommunications** communications) override {
    return Call("get_Communications", "", [&] { return NewCommunications(client_, Out(communications)); });
  }
  STDMETHODIMP ClientVersion(long* major, long* minor, long* build) override {
    return Call("ClientVersion", "", [&] {
      const ClientInfo& info = client_.model().client;
      *Out(major) = info.major;
      *Out(minor) = info.minor;
      *Out(build) = info.build;
      return S_OK;
    });
  }
  STDMETHODIMP get_ClientWorkgroup(BSTR* workgroup) override {
    return Call("get_ClientWorkgroup", "", [&] { return PutText(workgroup, client_.model().client.workgroup); });
  }
  STDMETHODIMP get_ClientRestrictions(long* restrictions) override {
    return Call("get_ClientRestrictions", "",
                [&] { return PutLong(restrictions, client_.model().client.restrictions); });
  }
  STDMETHODIMP ShowAlertSetupDialog(long parent) override {
    return Call("ShowAlertSetupDialog", Arguments(parent), [] { return S_OK; });
  }
  STDMETHODIMP ShowFilterSetupDialog(long parent) override {
    return Call("ShowFilterSetupDialog", Arguments(parent), [] { return S_OK; });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvane || iid == IID_IZorvane2 ||
        iid == IID_IZorvane4)
      return static_cast<IZorvane4*>(this);
    if (iid == IID_IZorvaneAlertSetup) return static_cast<IZorvaneAlertSetup*>(this);
    if (iid == IID_IZorvaneFilterSetup) return static_cast<IZorvaneFilterSetup*>(this);
    return nullptr;
  }
};

}  // namespace

HRESULT NewApplication(Client& client, REFIID iid, void** out) {
  Application* application = new Application(client);
  HRESULT hr = application->QueryInterface(iid, out);
  application->Release();
  return hr;
}

}  // namespace standin
