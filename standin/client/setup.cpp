// The setup object (with its dialogs and the replication setting), the general settings and
// the client's modal dialogs, which only record that they were shown.
#include "events.h"
#include "objects.h"
#include "standin_object.h"

namespace standin {

namespace {

using comsupport::DispatchImpl;

class Setup : public StandinObject<IZorvaneSetup, DispatchImpl<IZorvaneSetupDialogs>,
                                   DispatchImpl<IZorvaneReplicationSettings>> {
 public:
  explicit Setup(Client& client) : StandinObject(client, "Setup", "") {}

  STDMETHODIMP get_General(IZorvaneGeneralSettings** general) override {
    return Call("get_General", "", [&] { return NewGeneralSettings(client_, Out(general)); });
  }
  STDMETHODIMP ShowSetupDialog(long parent) override {
    return Call("ShowSetupDialog", Arguments(parent), [] { return S_OK; });
  }
  STDMETHODIMP Reload() override { return Call("Reload", "", [] { return S_OK; }); }
  STDMETHODIMP Commit() override { return Call("Commit", "", [] { return S_OK; }); }
  STDMETHODIMP RegisterNotificationHandler(long events, IUnknown* handler, long* handle) override {
    return Call("RegisterNotificationHandler", Arguments(events, handler),
                [&] { return client_.notifier().Register(Source::Setup, events, handler, Out(handle)); });
  }
  STDMETHODIMP RevokeNotificationHandler(long handle) override {
    return Call("RevokeNotificationHandler", Arguments(handle),
                [&] { return client_.notifier().Revoke(Source::Setup, handle); });
  }
  STDMETHODIMP get_AlertsDialog(IZorvaneDialog** dialog) override {
    return Call("get_AlertsDialog", "", [&] { return NewDialog(client_, "AlertsDialog", "Alerts", Out(dialog)); });
  }
  STDMETHODIMP get_FiltersDialog(IZorvaneDialog** dialog) override {
    return Call("get_FiltersDialog", "", [&] { return NewDialog(client_, "FiltersDialog", "Filters", Out(dialog)); });
  }
  STDMETHODIMP get_QuickSetupDialog(IZorvaneDialog** dialog) override {
    return Call("get_QuickSetupDialog", "",
                [&] { return NewDialog(client_, "QuickSetupDialog", "Quick Setup", Out(dialog)); });
  }
  STDMETHODIMP get_ReplicationEnabled(VARIANT_BOOL* enabled) override {
    return Call("get_ReplicationEnabled", "", [&] { return PutBool(enabled, client_.model().settings.replication); });
  }
  STDMETHODIMP put_ReplicationEnabled(VARIANT_BOOL enabled) override {
    return Call("put_ReplicationEnabled", Arguments(enabled), [&] {
      client_.model().settings.replication = enabled != VARIANT_FALSE;
      return S_OK;
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneSetup)
      return static_cast<IZorvaneSetup*>(this);
    if (iid == IID_IZorvaneSetupDialogs) return static_cast<IZorvaneSetupDialogs*>(this);
    if (iid == IID_IZorvaneReplicationSettings) return static_cast<IZorvaneReplicationSettings*>(this);
    return nullptr;
  }
};

class GeneralSettings : public StandinObject<IZorvaneGeneralSettings> {
 public:
  explicit GeneralSettings(Client& client) : StandinObject(client, "GeneralSettings", "") {}

  STDMETHODIMP get_ProgramDirectory(BSTR* path) override {
    return Call("get_ProgramDirectory", "", [&] { return PutText(path, settings().program_directory); });
  }
  STDMETHODIMP get_DataDirectory(BSTR* path) override {
    return Call("get_DataDirectory", "", [&] { return PutText(path, settings().data_directory); });
  }
  STDMETHODIMP get_AutoplayEnabled(VARIANT_BOOL* enabled) override {
    return Call("get_AutoplayEnabled", "", [&] { return PutBool(enabled, settings().autoplay); });
  }
  STDMETHODIMP put_AutoplayEnabled(VARIANT_BOOL enabled) override {
    return Call("put_AutoplayEnabled", Arguments(enabled),
                [&] { return Change(settings().autoplay, enabled != VARIANT_FALSE, SETUP_EVENT_AUTOPLAY_ENABLED); });
  }
  STDMETHODIMP get_DownloadEnabled(VARIANT_BOOL* enabled) override {
    return Call("get_DownloadEnabled", "", [&] { return PutBool(enabled, settings().download); });
  }
  STDMETHODIMP put_DownloadEnabled(VARIANT_BOOL enabled) override {
    return Call("put_DownloadEnabled", Arguments(enabled),
                [&] { return Change(settings().download, enabled != VARIANT_FALSE, SETUP_EVENT_DOWNLOAD_ENABLED); });
  }
  STDMETHODIMP get_DefaultChannelCacheSize(long* bytes) override {
    return Call("get_DefaultChannelCacheSize", "", [&] { return PutLong(bytes, settings().default_channel_cache_size); });
  }
  STDMETHODIMP put_DefaultChannelCacheSize(long bytes) override {
    return Call("put_DefaultChannelCacheSize", Arguments(bytes),
                [&] { return Change(settings().default_channel_cache_size, bytes, SETUP_EVENT_DEFAULT_CACHE_SIZE); });
  }
  STDMETHODIMP get_UserDownloadEnabled(VARIANT_BOOL* enabled) override {
    return Call("get_UserDownloadEnabled", "", [&] { return PutBool(enabled, settings().user_download); });
  }
  STDMETHODIMP put_UserDownloadEnabled(VARIANT_BOOL enabled) override {
    return Call("put_UserDownloadEnabled", Arguments(enabled), [&] {
      return Change(settings().user_download, enabled != VARIANT_FALSE, SETUP_EVENT_USER_DOWNLOAD_ENABLED);
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneGeneralSettings)
      return static_cast<IZorvaneGeneralSettings*>(this);
    return nullptr;
  }

 private:
  Settings& settings() { return client_.model().settings; }
  // A changed setting is told to setup handlers, as the client's own setup pages do.
  template <class T>
  HRESULT Change(T& setting, T value, long event) {
    if (setting == value) return S_OK;
    setting = value;
    QueueSetupEvent(client_, event);
    return S_OK;
  }
};

class Dialog : public StandinObject<IZorvaneDialog> {
 public:
  Dialog(Client& client, const std::string& kind, std::string caption)
      : StandinObject(client, kind, ""), caption_(std::move(caption)) {}

  STDMETHODIMP get_Caption(BSTR* caption) override {
    return Call("get_Caption", "", [&] { return PutText(caption, caption_); });
  }
  STDMETHODIMP put_Caption(BSTR caption) override {
    return Call("put_Caption", Arguments(caption), [&] {
      caption_ = TextOf(caption);
      return S_OK;
    });
  }
  // Shown without a window: the user answers at once, as the fixture's "dialogs" say.
  STDMETHODIMP Show(long parent, VARIANT_BOOL* accepted) override {
    return Call("Show", Arguments(parent), [&] {
      const auto& answers = client_.model().dialog_answers;
      auto answer = answers.find(kind_);
      return PutBool(accepted, answer == answers.end() || answer->second);
    });
  }

 protected:
  void* FindOwn(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZorvaneDialog)
      return static_cast<IZorvaneDialog*>(this);
    return nullptr;
  }

 private:
  std::string caption_;
};

}  // namespace

HRESULT NewSetup(Client& client, IZorvaneSetup** out) { return NewObject<Setup>(out, client); }
HRESULT NewGeneralSettings(Client& client, IZorvaneGeneralSettings** out) {
  return NewObject<GeneralSettings>(out, client);
}
HRESULT NewDialog(Client& client, const std::string& kind, const std::string& caption, IZorvaneDialog** out) {
  return NewObject<Dialog>(out, client, kind, caption);
}

}  // namespace standin
