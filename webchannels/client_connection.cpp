// The control's connection to the client: the lazy connection, the monitored channels and
// their selection, the notification handlers' registrations, the access gate, and the members
// that hand client objects or dialogs to the page.
#include <algorithm>
#include <cwctype>

#include "chanbind_control.h"
#include "chanbind_resources.h"
#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "comsupport/error_info.h"
#include "dialog_thread.h"
#include "script_errors.h"

namespace chanbind {

using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::Variant;

namespace {

constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

HRESULT ClassOf(const std::wstring& prog_id, CLSID* clsid) {
  if (!prog_id.empty() && prog_id[0] == L'{') return ::CLSIDFromString(const_cast<LPOLESTR>(prog_id.c_str()), clsid);
  return ::CLSIDFromProgID(prog_id.c_str(), clsid);
}

// Created for IUnknown and run first, since a local server may be chosen.
ComPtr<IUnknown> CreateRunning(const std::wstring& prog_id) {
  CLSID clsid;
  COMSUPPORT_CHECK(IUnknown, ClassOf(prog_id, &clsid));
  ComPtr<IUnknown> object;
  COMSUPPORT_CHECK(IUnknown, ::CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, object.put_void()));
  COMSUPPORT_CHECK(IUnknown, ::OleRun(object.get()));
  return object;
}

bool AllDigits(const wchar_t* text, UINT length) {
  if (length == 0) return false;
  for (UINT i = 0; i < length; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
  }
  return true;
}

// A ChannelId as the selection uses it: digit strings become numbers.
Variant NormalisedChannelId(const VARIANT& given) {
  Variant value;
  const VARIANT* source = &given;
  if (source->vt == (VT_BYREF | VT_VARIANT) && source->pvarVal) source = source->pvarVal;
  ::VariantCopyInd(value.get(), const_cast<VARIANT*>(source));
  if (value.type() == VT_BSTR && AllDigits(value.get()->bstrVal, ::SysStringLen(value.get()->bstrVal))) {
    Variant number;
    if (SUCCEEDED(::VariantChangeType(number.get(), value.get(), 0, VT_I4))) return number;
  }
  return value;
}

bool IsEmptyValue(const VARIANT& value) {
  return value.vt == VT_EMPTY || value.vt == VT_NULL || value.vt == VT_ERROR;
}

bool SameValue(const Variant& left, const Variant& right) {
  if (IsEmptyValue(*left.get()) || IsEmptyValue(*right.get())) {
    return IsEmptyValue(*left.get()) && IsEmptyValue(*right.get());
  }
  return ::VarCmp(const_cast<VARIANT*>(left.get()), const_cast<VARIANT*>(right.get()), LOCALE_USER_DEFAULT, 0) ==
         static_cast<HRESULT>(VARCMP_EQ);
}

std::vector<std::wstring> SplitList(const std::string& text) {
  std::vector<std::wstring> items;
  const std::wstring wide = comsupport::ToWide(text);
  size_t start = 0;
  while (start <= wide.size() && items.size() < 64) {
    size_t comma = wide.find(L',', start);
    if (comma == std::wstring::npos) comma = wide.size();
    items.push_back(wide.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

}  // namespace

IZorvane4* Chanbind::EnsureClient() {
  if (client_) return client_.get();
  ComPtr<IUnknown> object = CreateRunning(L"Zorvane");
  ComPtr<IZorvane4> client;
  COMSUPPORT_CHECK(IUnknown, object->QueryInterface(IID_IZorvane4, client.put_void()));
  client_ = client;
  ConnectMonitor();
  if (auto_update_) RegisterHandlers();
  return client_.get();
}

ChannelSelection Chanbind::CurrentSelection() const {
  ChannelSelection selection;
  if (!IsEmptyValue(*channel_id_.get())) {
    selection.kind = ChannelSelection::Kind::kId;
    selection.id = NormalisedChannelId(*channel_id_.get());
  } else if (!category_.empty()) {
    selection.kind = ChannelSelection::Kind::kCategory;
    selection.category = category_;
  }
  return selection;
}

bool Chanbind::ChannelSecure(IZorvaneChannel4_2* channel) { return PageIsSecure(Page(), channel); }

void Chanbind::ConnectMonitor() {
  ComPtr<ChannelMonitor> old = std::move(monitor_);
  DropStoryList();
  const ChannelSelection selection = CurrentSelection();
  monitor_ = ChannelMonitor::Build(
      client_.get(), selection, [this](IZorvaneChannel4_2* channel) { return ChannelSecure(channel); },
      SafeForScripting());
  if (selection.kind == ChannelSelection::Kind::kId && monitor_->count() == 1) {
    // The selection reads back as the channel's number (a boolean selection stays boolean).
    const bool was_bool = channel_id_.type() == VT_BOOL;
    channel_id_ = Variant(monitor_->IdAt(0));
    if (was_bool) {
      VARIANT* value = channel_id_.put();
      value->vt = VT_BOOL;
      value->boolVal = monitor_->IdAt(0) ? VARIANT_TRUE : VARIANT_FALSE;
    }
  }
}

void Chanbind::RegisterHandlers() {
  if (!client_) return;
  IUnknown* handler = nullptr;
  if (!app_registration_.registered()) {
    handler = static_cast<IAppNotificationHandler*>(app_handler_.get());
    COMSUPPORT_CHECK(IZorvane, app_registration_.Register(client_.get(), -1, handler));
  }
  if (!setup_registration_.registered()) {
    ComPtr<IZorvaneSetup> setup;
    COMSUPPORT_CHECK(IZorvane, client_->get_Setup(setup.put()));
    handler = static_cast<ISetupNotificationHandler*>(setup_handler_.get());
    COMSUPPORT_CHECK(IZorvaneSetup, setup_registration_.Register(setup.get(), setup_event_mask_, handler));
  }
  if (!channel_registration_.registered()) {
    ComPtr<IZorvaneChannelCollection> channels;
    COMSUPPORT_CHECK(IZorvane, client_->get_Channels(channels.put()));
    handler = static_cast<IChannelNotificationHandler*>(channel_handler_.get());
    COMSUPPORT_CHECK(IZorvaneChannelCollection,
                     channel_registration_.Register(channels.get(), channel_event_mask_, handler));
  }
  if (!story_registration_.registered()) {
    ComPtr<IZorvaneAllStoryCollection> stories;
    COMSUPPORT_CHECK(IZorvane4, client_->get_AllStories(stories.put()));
    handler = static_cast<IStoryNotificationHandler*>(story_handler_.get());
    COMSUPPORT_CHECK(IZorvaneAllStoryCollection,
                     story_registration_.Register(stories.get(), story_event_mask_, handler));
  }
}

void Chanbind::RevokeHandlers() {
  story_registration_.Revoke();
  channel_registration_.Revoke();
  setup_registration_.Revoke();
  app_registration_.Revoke();
}

void Chanbind::DropStoryList() {
  if (stories_ && stories_->loading()) AbortLoad();
  stories_.reset();
  channel_facts_.clear();
}

ChannelMonitor* Chanbind::RequireMonitor() {
  if (!monitor_) Raise(IDS_NO_CHANNEL_COLLECTION);
  return monitor_.get();
}

HRESULT Chanbind::Reselect() {
  if (!client_) {
    EnsureClient();  // builds the monitor from the new selection
    return S_OK;
  }
  monitor_.reset();
  ConnectMonitor();
  if (auto_update_) RegisterHandlers();
  return S_OK;
}

void Chanbind::CheckClientAccess() {
  if (!SafeForScripting()) return;
  if (!monitor_) {
    if (PageIsSecure(Page(), nullptr)) return;
    EnsureClient();
    if (!monitor_) ConnectMonitor();
  }
  if (!monitor_->AllSecure()) Raise(IDS_ACCESS_DENIED);
}

void Chanbind::OnClientShutdown() {
  events_ |= SHUTDOWN_EVENT;
  Fire(9, {});
}

STDMETHODIMP Chanbind::get_Zorvane(IZorvane4** client) {
  if (!client) return E_POINTER;
  *client = nullptr;
  return ScriptBoundary("Chanbind::get_Zorvane", [&] {
    CheckClientAccess();
    *client = EnsureClient();
    (*client)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_CreateObject(BSTR prog_id, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return ScriptBoundary("Chanbind::get_CreateObject", [&] {
    CheckClientAccess();
    const std::wstring wanted = prog_id ? prog_id : L"";
    bool allowed = false;
    for (const auto& entry : SplitList(comsupport::LoadResourceString(IDS_CREATE_OBJECT_ALLOWED))) {
      if (!entry.empty() && _wcsicmp(entry.c_str(), wanted.c_str()) == 0) allowed = true;
    }
    if (!allowed) Raise(IDS_ACCESS_DENIED);
    ComPtr<IUnknown> created = CreateRunning(wanted);
    COMSUPPORT_CHECK(IUnknown, created->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object)));
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_Channel(VARIANT index, IZorvaneChannel4_2** channel) {
  if (!channel) return E_POINTER;
  *channel = nullptr;
  return ScriptBoundary("Chanbind::get_Channel", [&] {
    EnsureClient();
    ChannelMonitor* monitor = RequireMonitor();
    long position = 0;
    if (!IsEmptyValue(index)) {
      Variant number;
      COMSUPPORT_CHECK(IChanbind2, ::VariantChangeType(number.get(), &index, 0, VT_I4));
      position = number.get()->lVal;
    }
    if (position < 0 || position >= monitor->count()) Raise(IDS_INDEX_OUT_OF_BOUNDS);
    *channel = monitor->At(position);
    (*channel)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_ChannelCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return ScriptBoundary("Chanbind::get_ChannelCount", [&] {
    EnsureClient();
    *count = monitor_ ? monitor_->count() : 0;
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_Channels(IChanbindChannelCollection** channels) {
  if (!channels) return E_POINTER;
  *channels = nullptr;
  return ScriptBoundary("Chanbind::get_Channels", [&] {
    EnsureClient();
    *channels = RequireMonitor();
    (*channels)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_Category(BSTR* category) {
  if (!category) return E_POINTER;
  *category = ::SysAllocString(category_.c_str());
  return S_OK;
}

STDMETHODIMP Chanbind::put_Category(BSTR category) {
  return ScriptBoundary("Chanbind::put_Category", [&] {
    const std::wstring wanted = category ? category : L"";
    if (wanted == category_ && monitor_) return S_FALSE;
    category_ = wanted;
    return Reselect();
  });
}

STDMETHODIMP Chanbind::get_ChannelId(VARIANT* id) {
  if (!id) return E_POINTER;
  ::VariantInit(id);
  return ::VariantCopy(id, channel_id_.get());
}

STDMETHODIMP Chanbind::put_ChannelId(VARIANT id) {
  return ScriptBoundary("Chanbind::put_ChannelId", [&] {
    Variant wanted = NormalisedChannelId(id);
    if (SameValue(wanted, NormalisedChannelId(*channel_id_.get())) && monitor_) return S_FALSE;
    channel_id_ = wanted;
    return Reselect();
  });
}

STDMETHODIMP Chanbind::IncludeChannel(long id) {
  return ScriptBoundary("Chanbind::IncludeChannel", [&] {
    EnsureClient();
    if (!RequireMonitor()->Add(client_.get(), id)) return S_FALSE;
    DropStoryList();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::ExcludeChannel(long id) {
  return ScriptBoundary("Chanbind::ExcludeChannel", [&] {
    EnsureClient();
    if (!RequireMonitor()->Remove(id)) return S_FALSE;
    DropStoryList();
    return S_OK;
  });
}

STDMETHODIMP Chanbind::get_AutoUpdate(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = auto_update_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP Chanbind::put_AutoUpdate(VARIANT_BOOL value) {
  return ScriptBoundary("Chanbind::put_AutoUpdate", [&] {
    auto_update_ = value != VARIANT_FALSE;
    if (auto_update_) {
      RegisterHandlers();
    } else {
      RevokeHandlers();
    }
  });
}

namespace {

HRESULT PutMask(long* field, long value, const std::function<void()>& reregister) {
  *field = value;
  reregister();
  return S_OK;
}

}  // namespace

STDMETHODIMP Chanbind::get_SetupEventMask(long* mask) {
  if (!mask) return E_POINTER;
  *mask = setup_event_mask_;
  return S_OK;
}
STDMETHODIMP Chanbind::get_ChannelEventMask(long* mask) {
  if (!mask) return E_POINTER;
  *mask = channel_event_mask_;
  return S_OK;
}
STDMETHODIMP Chanbind::get_StoryEventMask(long* mask) {
  if (!mask) return E_POINTER;
  *mask = story_event_mask_;
  return S_OK;
}

STDMETHODIMP Chanbind::put_SetupEventMask(long mask) {
  return ScriptBoundary("Chanbind::put_SetupEventMask", [&] {
    return PutMask(&setup_event_mask_, mask, [this] {
      RevokeHandlers();
      if (auto_update_) RegisterHandlers();
    });
  });
}
STDMETHODIMP Chanbind::put_ChannelEventMask(long mask) {
  return ScriptBoundary("Chanbind::put_ChannelEventMask", [&] {
    return PutMask(&channel_event_mask_, mask, [this] {
      RevokeHandlers();
      if (auto_update_) RegisterHandlers();
    });
  });
}
STDMETHODIMP Chanbind::put_StoryEventMask(long mask) {
  return ScriptBoundary("Chanbind::put_StoryEventMask", [&] {
    return PutMask(&story_event_mask_, mask, [this] {
      RevokeHandlers();
      if (auto_update_) RegisterHandlers();
    });
  });
}

// Dialogs, each on a thread of its own.

namespace {

enum Dialog { kChannelSetup, kChannelCustomize, kGlobalSetup, kQuickSetup, kAlertSetup, kFilterSetup };

void OpenDialog(int dialog, IUnknown* object) {
  if (dialog == kChannelSetup || dialog == kChannelCustomize) {
    ComPtr<IZorvaneChannel4_2> channel;
    if (FAILED(object->QueryInterface(IID_IZorvaneChannel4_2, channel.put_void()))) return;
    if (dialog == kChannelSetup) {
      channel->ShowPropertiesDialog(0);
    } else {
      channel->ShowCustomizeDialog(0);
    }
    return;
  }
  ComPtr<IZorvane4> client;
  if (FAILED(object->QueryInterface(IID_IZorvane4, client.put_void()))) return;
  switch (dialog) {
    case kGlobalSetup: {
      ComPtr<IZorvaneSetup> setup;
      if (SUCCEEDED(client->get_Setup(setup.put()))) setup->ShowSetupDialog(0);
      break;
    }
    case kQuickSetup: {
      ComPtr<IZorvaneSetup> setup;
      if (FAILED(client->get_Setup(setup.put()))) break;
      ComPtr<IZorvaneSetupDialogs> dialogs = setup.As<IZorvaneSetupDialogs>();
      ComPtr<IZorvaneDialog> quick;
      VARIANT_BOOL accepted = VARIANT_FALSE;
      if (dialogs && SUCCEEDED(dialogs->get_QuickSetupDialog(quick.put()))) quick->Show(0, &accepted);
      break;
    }
    case kAlertSetup:
      if (auto alerts = client.As<IZorvaneAlertSetup>()) alerts->ShowAlertSetupDialog(0);
      break;
    case kFilterSetup:
      if (auto filters = client.As<IZorvaneFilterSetup>()) filters->ShowFilterSetupDialog(0);
      break;
  }
}

}  // namespace

void Chanbind::OpenDialogOnThread(REFIID iid, IUnknown* object, int dialog) {
  if (!StartDialogThread(iid, object, [dialog](IUnknown* carried) { OpenDialog(dialog, carried); })) {
    Raise(IDS_INTERNAL_ERROR);
  }
}

namespace {

long PositionOf(const VARIANT& index) {
  if (IsEmptyValue(index)) return 0;
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(&index), 0, VT_I4))) return -1;
  return number.get()->lVal;
}

}  // namespace

STDMETHODIMP Chanbind::Setup(VARIANT index) {
  return ScriptBoundary("Chanbind::Setup", [&] {
    EnsureClient();
    ChannelMonitor* monitor = RequireMonitor();
    const long position = PositionOf(index);
    if (position < 0 || position >= monitor->count()) Raise(IDS_INDEX_OUT_OF_BOUNDS);
    OpenDialogOnThread(IID_IZorvaneChannel4_2, monitor->At(position), kChannelSetup);
  });
}

STDMETHODIMP Chanbind::Customize(VARIANT index) {
  return ScriptBoundary("Chanbind::Customize", [&] {
    EnsureClient();
    ChannelMonitor* monitor = RequireMonitor();
    const long position = PositionOf(index);
    if (position < 0 || position >= monitor->count()) Raise(IDS_INDEX_OUT_OF_BOUNDS);
    OpenDialogOnThread(IID_IZorvaneChannel4_2, monitor->At(position), kChannelCustomize);
  });
}

STDMETHODIMP Chanbind::GlobalSetup() {
  return ScriptBoundary("Chanbind::GlobalSetup",
                        [&] { OpenDialogOnThread(IID_IZorvane4, EnsureClient(), kGlobalSetup); });
}
STDMETHODIMP Chanbind::QuickSetup() {
  return ScriptBoundary("Chanbind::QuickSetup",
                        [&] { OpenDialogOnThread(IID_IZorvane4, EnsureClient(), kQuickSetup); });
}
STDMETHODIMP Chanbind::AlertSetup() {
  return ScriptBoundary("Chanbind::AlertSetup",
                        [&] { OpenDialogOnThread(IID_IZorvane4, EnsureClient(), kAlertSetup); });
}
STDMETHODIMP Chanbind::FilterSetup() {
  return ScriptBoundary("Chanbind::FilterSetup",
                        [&] { OpenDialogOnThread(IID_IZorvane4, EnsureClient(), kFilterSetup); });
}

STDMETHODIMP Chanbind::Client(VARIANT type) {
  return ScriptBoundary("Chanbind::Client", [&] {
    const long kind = IsEmptyValue(type) ? static_cast<long>(USER_INTERFACE_DEFAULT) : PositionOf(type);
    COMSUPPORT_CHECK(IZorvane2, EnsureClient()->OpenUserInterface(static_cast<EUserInterface>(kind)));
  });
}

STDMETHODIMP Chanbind::put_URL(BSTR url) {
  host_url_ = url ? url : L"";
  return S_OK;
}

}  // namespace chanbind
