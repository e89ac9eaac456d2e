// IViewObject2: the host draws the control into its own device context, before the window
// exists (printing, design views, OleDraw) or as a picture of the window.
#include "controls/control_base.h"

#include "comsupport/boundary.h"

namespace controls {

STDMETHODIMP ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw) return E_INVALIDARG;
  if (!bounds) return E_POINTER;
  const RECT place = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  return comsupport::ComBoundary("IViewObject::Draw", [&]() -> HRESULT {
    if (!window_) {
      DrawWithoutWindow(draw, place);
      return S_OK;
    }
    // A picture of the live window (children included) placed at bounds.
    const int saved = ::SaveDC(draw);
    ::SetViewportOrgEx(draw, place.left, place.top, nullptr);
    ::IntersectClipRect(draw, 0, 0, place.right - place.left, place.bottom - place.top);
    ::SendMessageA(window_, WM_PRINT, reinterpret_cast<WPARAM>(draw),
                   PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND | PRF_NONCLIENT);
    ::RestoreDC(draw, saved);
    return S_OK;
  });
}

void ControlBase::DrawWithoutWindow(HDC dc, const RECT& bounds) {
  ::FillRect(dc, &bounds, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

STDMETHODIMP ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_aspects_ = aspects;
  view_flags_ = flags;
  view_sink_ = comsupport::ComPtr<IAdviseSink>(sink);
  return S_OK;
}

STDMETHODIMP ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = view_aspects_;
  if (flags) *flags = view_flags_;
  if (sink) {
    *sink = view_sink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL extent) {
  return static_cast<IOleObject*>(this)->GetExtent(aspect, extent);
}

}  // namespace controls
