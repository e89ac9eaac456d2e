// The OLE embedding of a control: client site, verbs, extent, advises, in-place activation and
// the ambient-property notices of IOleControl.
#include "controls/control_base.h"

#include "comsupport/boundary.h"

#include "comsupport/bstr.h"

namespace controls {

STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) {
  site_ = comsupport::ComPtr<IOleClientSite>(site);
  return S_OK;
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP ControlBase::Close(DWORD) {
  InPlaceDeactivate();
  if (advise_holder_) advise_holder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
  return comsupport::ComBoundary("IOleObject::DoVerb", [&]() -> HRESULT {
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
      case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(site ? site : site_.get(), parent, position);
      case OLEIVERB_HIDE:
        if (window_) ::ShowWindow(window_, SW_HIDE);
        return S_OK;
      case OLEIVERB_PROPERTIES: {
        IUnknown* self = static_cast<IDispatch*>(this);
        CLSID page = *class_.property_page;
        return ::OleCreatePropertyFrame(window_ ? window_ : parent, 0, 0, nullptr, 1, &self, 1, &page, 0, 0, nullptr);
      }
      default:
        return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
  });
}

HRESULT ControlBase::InPlaceActivate(IOleClientSite* site, HWND parent, const RECT* position) {
  if (window_) {
    ::ShowWindow(window_, SW_SHOW);
    return S_OK;
  }
  if (!site) return E_INVALIDARG;
  auto in_place_site = comsupport::ComPtr<IOleClientSite>(site).As<IOleInPlaceSite>();
  if (!in_place_site) return E_NOINTERFACE;
  if (in_place_site->CanInPlaceActivate() != S_OK) return E_FAIL;
  HRESULT hr = in_place_site->OnInPlaceActivate();
  if (FAILED(hr)) return hr;
  comsupport::ComPtr<IOleInPlaceFrame> frame;
  comsupport::ComPtr<IOleInPlaceUIWindow> document;
  RECT site_position = {}, clip = {};
  OLEINPLACEFRAMEINFO info = {};
  info.cb = sizeof(info);
  hr = in_place_site->GetWindowContext(frame.put(), document.put(), &site_position, &clip, &info);
  HWND host = nullptr;
  if (SUCCEEDED(hr)) hr = in_place_site->GetWindow(&host);
  if (FAILED(hr)) {
    in_place_site->OnInPlaceDeactivate();
    return hr;
  }
  if (!host) host = parent;
  const RECT& place = position ? *position : site_position;
  in_place_site_ = in_place_site;
  if (!CreateWindowFrame(host, place)) {
    in_place_site_.reset();
    in_place_site->OnInPlaceDeactivate();
    return E_FAIL;
  }
  if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
  if (document) document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
  return S_OK;
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** verbs) {
  return ::OleRegEnumVerbs(*class_.clsid, verbs);
}

STDMETHODIMP ControlBase::GetUserType(DWORD form, LPOLESTR* type) {
  return ::OleRegGetUserType(*class_.clsid, form, type);
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* extent) {
  if (!extent) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *extent;
  SetModified();
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* extent) {
  if (!extent) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *extent = extent_;
  return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!advise_holder_) {
    HRESULT hr = ::CreateOleAdviseHolder(advise_holder_.put());
    if (FAILED(hr)) return hr;
  }
  return advise_holder_->Advise(sink, cookie);
}

STDMETHODIMP ControlBase::Unadvise(DWORD cookie) {
  return advise_holder_ ? advise_holder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return advise_holder_ ? advise_holder_->EnumAdvise(advises) : E_FAIL;
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? class_.misc_status : 0;
  return S_OK;
}

STDMETHODIMP ControlBase::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::InPlaceDeactivate() {
  if (!window_ && !in_place_site_) return S_OK;
  if (window_) ::DestroyWindow(window_);
  comsupport::ComPtr<IOleInPlaceSite> in_place_site = std::move(in_place_site_);
  if (in_place_site) in_place_site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (window_) {
    ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
  }
  return S_OK;
}

STDMETHODIMP ControlBase::TranslateAccelerator(LPMSG message) {
  if (!message) return E_POINTER;
  if ((message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) && window_ &&
      (message->hwnd == window_ || ::IsChild(window_, message->hwnd))) {
    bool consumed = comsupport::Boundary("control key", false, [&] { return PreTranslateKey(*message); });
    if (consumed) return S_OK;
  }
  return S_FALSE;
}

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) {
  events_frozen_ += freeze ? 1 : -1;
  if (events_frozen_ < 0) events_frozen_ = 0;
  return S_OK;
}

}  // namespace controls
