// Identity, dispatch, class information, property pages and ambient properties of a control.
#include "controls/control_base.h"

#include "comsupport/boundary.h"

#include "comsupport/bstr.h"
#include "comsupport/dispatch_impl.h"
#include "vinnet/services.h"

namespace controls {

namespace {

constexpr LONG kHimetricPerInch = 2540;

LONG PixelsToHimetric(LONG pixels, int pixels_per_inch) {
  return ::MulDiv(pixels, kHimetricPerInch, pixels_per_inch);
}

SIZEL InitialExtent(const SIZE& pixels) {
  HDC screen = ::GetDC(nullptr);
  const int dpi_x = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  const int dpi_y = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return {PixelsToHimetric(pixels.cx, dpi_x), PixelsToHimetric(pixels.cy, dpi_y)};
}

}  // namespace

ControlBase::ControlBase(const ControlClass& control_class)
    : class_(control_class), extent_(InitialExtent(control_class.initial_size)) {
  AddConnectionPoint(*class_.events);
  AddConnectionPoint(IID_IPropertyNotifySink);
}

ControlBase::~ControlBase() {
  if (window_) {
    // The class's hooks are gone: the window's last messages take the default way.
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    ::CServicesUnsubscribeNotifications(window_);
    ::DestroyWindow(window_);
  }
  ReleaseLibraries(ReleaseReason::kDestruction);
}

void ControlBase::DestroyControl() {
  if (window_) ::DestroyWindow(window_);
  ReleaseLibraries(ReleaseReason::kDestruction);
}

void* ControlBase::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *class_.dispatch) return static_cast<IDispatch*>(this);
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) return static_cast<IOleInPlaceObject*>(this);
  if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IViewObject || iid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
  if (iid == IID_IPersist || iid == IID_IPersistPropertyBag) return static_cast<IPersistPropertyBag*>(this);
  if (iid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
  if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) return static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(this);
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

HRESULT ControlBase::LoadTypeInfo(REFGUID guid, ITypeInfo** info) {
  comsupport::ComPtr<ITypeLib> library;
  HRESULT hr = comsupport::LoadTypeLibraryOf(*class_.libid, 1, 0, library.put());
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(guid, info);
}

STDMETHODIMP ControlBase::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP ControlBase::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!dispatch_info_) {
    HRESULT hr = LoadTypeInfo(*class_.dispatch, dispatch_info_.put());
    if (FAILED(hr)) return hr;
  }
  *info = dispatch_info_.get();
  (*info)->AddRef();
  return S_OK;
}

STDMETHODIMP ControlBase::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  comsupport::ComPtr<ITypeInfo> info;
  HRESULT hr = GetTypeInfo(0, 0, info.put());
  if (FAILED(hr)) return hr;
  return ::DispGetIDsOfNames(info.get(), names, count, ids);
}

STDMETHODIMP ControlBase::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT* argument_error) {
  return comsupport::ComBoundary("control Invoke", [&]() -> HRESULT {
    DispatchCall call(id, flags, params, result, argument_error);
    switch (id) {
      case DISPID_BACKCOLOR:
      case DISPID_FORECOLOR: {
        OLE_COLOR& color = id == DISPID_BACKCOLOR ? back_color_ : fore_color_;
        if (call.IsGet()) return call.Return(static_cast<long>(color));
        if (!call.IsPut()) return DISP_E_MEMBERNOTFOUND;
        long value = 0;
        HRESULT hr = call.PutValue(&value);
        if (FAILED(hr)) return hr;
        color = static_cast<OLE_COLOR>(value);
        SetModified();
        if (id == DISPID_BACKCOLOR) {
          OnBackColorChanged();
        } else {
          OnForeColorChanged();
        }
        NotifyPropertyChanged(id);
        return S_OK;
      }
      case DISPID_ABOUTBOX:
        if (!call.IsMethod()) return DISP_E_MEMBERNOTFOUND;
        ShowAboutBox();
        return S_OK;
      default:
        return InvokeMember(call);
    }
  });
}

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return LoadTypeInfo(*class_.clsid, info);
}

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = GUID_NULL;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = *class_.events;
  return S_OK;
}

STDMETHODIMP ControlBase::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  pages->pElems[0] = *class_.property_page;
  pages->cElems = 1;
  return S_OK;
}

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = *class_.clsid;
  return S_OK;
}

COLORREF ControlBase::TranslateColor(OLE_COLOR color) {
  COLORREF translated = 0;
  return SUCCEEDED(::OleTranslateColor(color, nullptr, &translated)) ? translated : RGB(0, 0, 0);
}

void ControlBase::InvalidateControl() {
  if (window_) {
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE);
  } else {
    SendViewChange();
  }
}

void ControlBase::SendViewChange() {
  if (view_sink_) view_sink_->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace controls
