#include "standin/control_site.h"

#include "comsupport/boundary.h"

namespace standin {

namespace {

// System colours as OLE_COLOR: the high byte 0x80 names a GetSysColor index.
constexpr long kWindowColor = static_cast<long>(0x80000000u | COLOR_WINDOW);
constexpr long kWindowTextColor = static_cast<long>(0x80000000u | COLOR_WINDOWTEXT);

comsupport::Variant BoolVariant(bool value) {
  comsupport::Variant result;
  result.get()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

comsupport::Variant DefaultFont() {
  comsupport::Variant result;
  FONTDESC description = {};
  description.cbSizeofstruct = sizeof(FONTDESC);
  description.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
  description.cySize.int64 = 8 * 10000;  // 8 points, in ten-thousandths
  description.sWeight = FW_NORMAL;
  description.sCharset = DEFAULT_CHARSET;
  IDispatch* font = nullptr;
  if (SUCCEEDED(::OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&font)))) {
    result.get()->vt = VT_DISPATCH;
    result.get()->pdispVal = font;  // the variant owns the reference
  }
  return result;
}

}  // namespace

ControlSite::ControlSite(HWND host) : host_(host) {
  ::GetClientRect(host, &position_);
  ambients_[DISPID_AMBIENT_BACKCOLOR] = comsupport::Variant(kWindowColor);
  ambients_[DISPID_AMBIENT_FORECOLOR] = comsupport::Variant(kWindowTextColor);
  ambients_[DISPID_AMBIENT_FONT] = DefaultFont();
  ambients_[DISPID_AMBIENT_USERMODE] = BoolVariant(true);
  ambients_[DISPID_AMBIENT_LOCALEID] = comsupport::Variant(static_cast<long>(::GetUserDefaultLCID()));
  ambients_[DISPID_AMBIENT_DISPLAYNAME] = comsupport::Variant(std::string("Control"));
  ambients_[DISPID_AMBIENT_UIDEAD] = BoolVariant(false);
  ambients_[DISPID_AMBIENT_SHOWGRABHANDLES] = BoolVariant(false);
  ambients_[DISPID_AMBIENT_SHOWHATCHING] = BoolVariant(false);
  ambients_[DISPID_AMBIENT_MESSAGEREFLECT] = BoolVariant(false);
  ambients_[DISPID_AMBIENT_SUPPORTSMNEMONICS] = BoolVariant(false);
  ambients_[DISPID_AMBIENT_AUTOCLIP] = BoolVariant(true);
}

STDMETHODIMP ControlSite::SaveObject() { return S_OK; }

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
  if (!container) return E_POINTER;
  *container = container_.get();
  if (!*container) return E_NOINTERFACE;
  (*container)->AddRef();
  return S_OK;
}

STDMETHODIMP ControlSite::QueryService(REFGUID service, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!services_) return E_NOINTERFACE;  // no such service here
  return services_->QueryService(service, iid, out);
}

STDMETHODIMP ControlSite::ShowObject() { return S_OK; }
STDMETHODIMP ControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = host_;
  return S_OK;
}

STDMETHODIMP ControlSite::ContextSensitiveHelp(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::CanInPlaceActivate() { return S_OK; }

STDMETHODIMP ControlSite::OnInPlaceActivate() {
  return comsupport::ComBoundary("ControlSite::OnInPlaceActivate", [&] {
    journal_.push_back("OnInPlaceActivate");
    in_place_active_ = true;
  });
}

STDMETHODIMP ControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  // The frame is the only UI window.
  *document = nullptr;
  *position = position_;
  ::GetClientRect(host_, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = host_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::Scroll(SIZE) { return S_FALSE; }
STDMETHODIMP ControlSite::OnUIDeactivate(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::OnInPlaceDeactivate() {
  return comsupport::ComBoundary("ControlSite::OnInPlaceDeactivate", [&] {
    journal_.push_back("OnInPlaceDeactivate");
    in_place_active_ = false;
  });
}

STDMETHODIMP ControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP ControlSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT position) {
  if (!position) return E_POINTER;
  position_ = *position;
  return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceActivateEx(BOOL* no_redraw, DWORD) {
  if (no_redraw) *no_redraw = FALSE;
  return OnInPlaceActivate();
}

STDMETHODIMP ControlSite::OnInPlaceDeactivateEx(BOOL) { return OnInPlaceDeactivate(); }
STDMETHODIMP ControlSite::RequestUIActivate() { return S_OK; }

STDMETHODIMP ControlSite::GetBorder(LPRECT border) {
  if (!border) return E_POINTER;
  return ::GetClientRect(host_, border) ? S_OK : E_FAIL;
}

STDMETHODIMP ControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ControlSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP ControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

STDMETHODIMP ControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP ControlSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** control) {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (!himetric || !container) return E_POINTER;
  HDC screen = ::GetDC(nullptr);
  int dpi_x = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  int dpi_y = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  // 2540 HIMETRIC units to the inch.
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(himetric->x) * dpi_x / 2540.0f;
    container->y = static_cast<float>(himetric->y) * dpi_y / 2540.0f;
  } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = static_cast<LONG>(container->x * 2540.0f / dpi_x + 0.5f);
    himetric->y = static_cast<LONG>(container->y * 2540.0f / dpi_y + 0.5f);
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

STDMETHODIMP ControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP ControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
  return comsupport::ComBoundary("ControlSite::Invoke", [&]() -> HRESULT {
    journal_.push_back("ambient " + std::to_string(id));
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    auto found = ambients_.find(id);
    if (found == ambients_.end()) return DISP_E_MEMBERNOTFOUND;
    if (!result) return S_OK;
    ::VariantInit(result);
    return ::VariantCopy(result, found->second.get());
  });
}

void* ControlSite::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx) {
    return static_cast<IOleInPlaceSiteEx*>(this);
  }
  if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) return static_cast<IOleInPlaceFrame*>(this);
  if (iid == IID_IOleControlSite) return static_cast<IOleControlSite*>(this);
  if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
  if (iid == IID_IServiceProvider && services_) return static_cast<IServiceProvider*>(this);
  return nullptr;
}

}  // namespace standin
