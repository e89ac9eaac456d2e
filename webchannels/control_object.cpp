// The control as a COM object: construction and final release, its interface table, the OLE
// embedding basics (no visual presentation), the script-engine stub, persistence, object
// safety and the property notices.
#include <olectl.h>

#include "chanbind_control.h"
#include "chanbind_resources.h"
#include "comsupport/boundary.h"
#include "comsupport/error_info.h"
#include "comsupport/this_module.h"
#include "script_errors.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

HRESULT Chanbind::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  Chanbind* control = nullptr;
  try {
    control = new Chanbind();
  } catch (...) {
    return ReportCaught("Chanbind::CreateInstance");
  }
  HRESULT hr = control->QueryInterface(iid, out);
  control->Release();
  return hr;
}

Chanbind::Chanbind() {
  // The handlers exist for the control's whole life; the client only holds them while registered.
  try {
    app_handler_ = ComPtr<AppHandler>::Attach(new AppHandler(this));
    setup_handler_ = ComPtr<SetupHandler>::Attach(new SetupHandler(this));
    channel_handler_ = ComPtr<ChannelHandler>::Attach(new ChannelHandler(this));
    story_handler_ = ComPtr<StoryHandler>::Attach(new StoryHandler(this));
  } catch (...) {
    Raise(IDS_INIT_FAILED);
  }
}

Chanbind::~Chanbind() {
  RevokeHandlers();
  if (app_handler_) app_handler_->Detach();
  if (setup_handler_) setup_handler_->Detach();
  if (channel_handler_) channel_handler_->Detach();
  if (story_handler_) story_handler_->Detach();
  if (window_) {
    ::KillTimer(window_.get(), kLoadTimer);
    // Notifications still queued for the window own their payloads.
    MSG message;
    while (::PeekMessageA(&message, window_.get(), kSetupChanged, kStoriesDeleted, PM_REMOVE)) {
      if (message.message != kReadyStateComplete) delete reinterpret_cast<Notification*>(message.lParam);
    }
    ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
    // The class names this module's window procedure: it must not outlive the module, and it
    // stays while another control still has a window of it (the call then fails harmlessly).
    ::UnregisterClassA(kNotificationWindowClass, comsupport::ThisModule());
  }
  monitor_.reset();
  stories_.reset();
  listener_.reset();
  data_source_listener_.reset();
  client_.reset();
  script_site_.reset();
  client_site_.reset();
  return_value_.put();
}

STDMETHODIMP Chanbind::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argument_error) {
  return comsupport::ScriptDispatchImpl<IChanbind3, &LIBID_CHANBIND2Lib>::Invoke(id, iid, lcid, flags, params, result,
                                                                              exception, argument_error);
}

void* Chanbind::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IChanbind3 || iid == IID_IChanbind2) {
    return static_cast<IChanbind3*>(this);
  }
  if (iid == IID_IActiveScript) return static_cast<IActiveScript*>(this);
  if (iid == IID_IHostEnvironment) return static_cast<IHostEnvironment*>(this);
  if (iid == IID_IZrApps) return static_cast<IZrApps*>(this);
  if (iid == IID_OLEDBSimpleProvider) return static_cast<OLEDBSimpleProvider*>(this);
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) return static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_IOleInPlaceObjectWindowless || iid == IID_IOleInPlaceObject || iid == IID_IOleWindow) {
    return static_cast<IOleInPlaceObjectWindowless*>(this);
  }
  if (iid == IID_IPersistPropertyBag || iid == IID_IPersist) return static_cast<IPersistPropertyBag*>(this);
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  if (iid == IID_IObjectSafety) return static_cast<IObjectSafety*>(this);
  if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
  return nullptr;
}

// Events and notices.

void Chanbind::Fire(DISPID id, std::vector<Variant> arguments) {
  if (comsupport::ConnectionPoint* point = Point(DIID__Chanbind2Events)) point->FireEvent(id, std::move(arguments));
}

void Chanbind::NoticeChanged(DISPID id) { NotifyPropertyChanged(id); }

bool Chanbind::HasEventSinks() {
  comsupport::ConnectionPoint* point = Point(DIID__Chanbind2Events);
  return point && point->SinkCount() > 0;
}

PageContext Chanbind::Page() const {
  Chanbind* self = const_cast<Chanbind*>(this);
  // A client that cannot be reached trusts no "zorvane:" entry.
  auto client = [self]() -> IZorvane4* {
    try {
      return self->EnsureClient();
    } catch (...) {
      return nullptr;
    }
  };
  return PageContext{client_site_.get(), host_url_, client};
}

void Chanbind::SetValid(bool valid) {
  if (valid_ == valid) return;
  valid_ = valid;
  NoticeChanged(DISPID_VALID);
}

void Chanbind::SetReadyState(long state) {
  if (ready_state_ == state) return;
  ready_state_ = state;
  NoticeChanged(DISPID_READYSTATE);
  RaiseReadyStateChange(state);
}

void Chanbind::RaiseReadyStateChange(long state) {
  if (state != READYSTATE_COMPLETE) {
    Fire(DISPID_READYSTATECHANGE, {Variant(state)});
    return;
  }
  // The page hears of completion only after the current call has returned.
  if (EnsureWindow()) ::PostMessageA(window_.get(), kReadyStateComplete, READYSTATE_COMPLETE, 0);
}

// IActiveScript stub.

STDMETHODIMP Chanbind::SetScriptSite(IActiveScriptSite* site) {
  script_site_ = ComPtr<IActiveScriptSite>(site);
  return S_OK;
}

STDMETHODIMP Chanbind::GetScriptSite(REFIID iid, void** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  if (iid != IID_IActiveScriptSite) return E_NOINTERFACE;
  if (!script_site_) return S_FALSE;
  *site = script_site_.get();
  script_site_->AddRef();
  return S_OK;
}

STDMETHODIMP Chanbind::SetScriptState(SCRIPTSTATE) { return E_UNEXPECTED; }

STDMETHODIMP Chanbind::GetScriptState(SCRIPTSTATE* state) {
  if (!state) return E_POINTER;
  *state = SCRIPTSTATE_UNINITIALIZED;
  return S_OK;
}

STDMETHODIMP Chanbind::Close() {
  script_site_.reset();
  return S_OK;
}

STDMETHODIMP Chanbind::GetScriptDispatch(LPCOLESTR, IDispatch** dispatch) {
  if (dispatch) *dispatch = nullptr;
  return S_OK;
}
STDMETHODIMP Chanbind::GetCurrentScriptThreadID(SCRIPTTHREADID* id) {
  if (id) *id = 0;
  return S_OK;
}
STDMETHODIMP Chanbind::GetScriptThreadID(DWORD, SCRIPTTHREADID* id) {
  if (id) *id = 0;
  return S_OK;
}
STDMETHODIMP Chanbind::GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state) {
  if (state) *state = SCRIPTTHREADSTATE_NOTINSCRIPT;
  return S_OK;
}
STDMETHODIMP Chanbind::Clone(IActiveScript** script) {
  if (script) *script = nullptr;
  return S_OK;
}

// IOleObject: an embedding without a view.

STDMETHODIMP Chanbind::SetClientSite(IOleClientSite* site) {
  client_site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

STDMETHODIMP Chanbind::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = client_site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP Chanbind::Close(DWORD) { return InPlaceDeactivate(); }

STDMETHODIMP Chanbind::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP Chanbind::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP Chanbind::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_HIDE:
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

STDMETHODIMP Chanbind::EnumVerbs(IEnumOLEVERB** verbs) { return ::OleRegEnumVerbs(CLSID_Chanbind2, verbs); }

STDMETHODIMP Chanbind::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP Chanbind::GetUserType(DWORD form, LPOLESTR* type) { return ::OleRegGetUserType(CLSID_Chanbind2, form, type); }

STDMETHODIMP Chanbind::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP Chanbind::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP Chanbind::Advise(IAdviseSink*, DWORD* connection) {
  if (connection) *connection = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP Chanbind::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise) *advise = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP Chanbind::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
            OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

STDMETHODIMP Chanbind::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP Chanbind::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = nullptr;
  return E_FAIL;  // nothing to show
}

STDMETHODIMP Chanbind::InPlaceDeactivate() { return S_OK; }

STDMETHODIMP Chanbind::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) {
  if (result) *result = 0;
  return S_FALSE;
}

STDMETHODIMP Chanbind::GetDropTarget(IDropTarget** target) {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}

// Persistence: the properties by dispid through the dual interface, in this order.

namespace {

struct PersistedProperty {
  const wchar_t* name;
  DISPID id;
};

constexpr PersistedProperty kPersisted[] = {
    {L"Category", 10},         {L"ChannelId", 11},        {L"AutoReset", 12},      {L"Async", 13},
    {L"AutoUpdate", 14},       {L"SetupEventMask", 16},   {L"ChannelEventMask", 17}, {L"StoryEventMask", 18},
    {L"Sort", 19},             {L"SortColumn", 20},       {L"SortAscending", 21},  {L"SortCaseSensitive", 22},
    {L"Embellish", 23},
};

}  // namespace

STDMETHODIMP Chanbind::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Chanbind2;
  return S_OK;
}

STDMETHODIMP Chanbind::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  return comsupport::ComBoundary("Chanbind::Load", [&] {
    for (const auto& property : kPersisted) {
      Variant value;
      if (FAILED(bag->Read(property.name, value.put(), log))) continue;
      if (value.type() == VT_EMPTY) continue;
      // Loading only stores: the selection is read when the client is first needed.
      switch (property.id) {
        case 10: {
          Variant text;
          if (SUCCEEDED(::VariantChangeType(text.get(), value.get(), 0, VT_BSTR))) {
            category_ = text.get()->bstrVal ? text.get()->bstrVal : L"";
          }
          break;
        }
        case 11:
          channel_id_ = value;
          break;
        default: {
          DISPPARAMS params{};
          DISPID named = DISPID_PROPERTYPUT;
          params.rgvarg = value.get();
          params.cArgs = 1;
          params.rgdispidNamedArgs = &named;
          params.cNamedArgs = 1;
          static_cast<IChanbind3*>(this)->Invoke(property.id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                                 nullptr, nullptr);
        }
      }
    }
    return S_OK;
  });
}

STDMETHODIMP Chanbind::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (!bag) return E_POINTER;
  return comsupport::ComBoundary("Chanbind::Save", [&] {
    for (const auto& property : kPersisted) {
      Variant value;
      DISPPARAMS none{};
      HRESULT hr = static_cast<IChanbind3*>(this)->Invoke(property.id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                                          value.put(), nullptr, nullptr);
      if (FAILED(hr)) return hr;
      hr = bag->Write(property.name, value.get());
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  });
}

// IObjectSafety: bit 1 untrusted callers (IDispatch), bit 2 untrusted data (IPersistPropertyBag).

STDMETHODIMP Chanbind::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  if (iid == IID_IPersistPropertyBag) {
    *supported = INTERFACESAFE_FOR_UNTRUSTED_DATA;
    *enabled = safety_ & INTERFACESAFE_FOR_UNTRUSTED_DATA;
    return S_OK;
  }
  if (iid == IID_IDispatch) {
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
    *enabled = safety_ & INTERFACESAFE_FOR_UNTRUSTED_CALLER;
    return S_OK;
  }
  *supported = 0;
  *enabled = 0;
  return E_NOINTERFACE;
}

STDMETHODIMP Chanbind::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  if (iid == IID_IPersistPropertyBag) {
    safety_ = (mask & enabled) | (safety_ & INTERFACESAFE_FOR_UNTRUSTED_CALLER);
    return S_OK;
  }
  if (iid == IID_IDispatch) {
    safety_ = (mask & enabled) | (safety_ & INTERFACESAFE_FOR_UNTRUSTED_DATA);
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP Chanbind::InterfaceSupportsErrorInfo(REFIID iid) {
  return comsupport::ErrorInfoSupported(iid, {&IID_IChanbind3, &IID_IChanbind2, &CLSID_Chanbind2});
}

}  // namespace chanbind
