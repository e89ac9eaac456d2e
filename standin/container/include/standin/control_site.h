// The site a hosted control talks to: client site, in-place site, control site, a minimal
// in-place frame, and the ambient properties through IDispatch. It holds no reference to its
// control (the container does), so there is no cycle; it journals the calls it receives.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"

namespace standin {

class ControlSite : public comsupport::ComObject<IOleClientSite, IOleInPlaceSiteEx, IOleControlSite, IDispatch,
                                                 IOleInPlaceFrame, IServiceProvider> {
 public:
  // host: the window the control is placed in; it must outlive the control's activation.
  explicit ControlSite(HWND host);

  void SetPosition(const RECT& position) { position_ = position; }
  const RECT& position() const { return position_; }
  // Ambient values; an id without a value answers DISP_E_MEMBERNOTFOUND.
  void SetAmbient(DISPID id, const comsupport::Variant& value) { ambients_[id] = value; }
  void RemoveAmbient(DISPID id) { ambients_.erase(id); }
  // Calls received, e.g. "OnInPlaceActivate", "ambient -701".
  const std::vector<std::string>& journal() const { return journal_; }
  void ClearJournal() { journal_.clear(); }
  bool in_place_active() const { return in_place_active_; }
  // A page host's document (GetContainer answers it) and its services (QueryService goes there);
  // by default the site has neither.
  void SetContainer(IOleContainer* container) { container_ = comsupport::ComPtr<IOleContainer>(container); }
  void SetServices(IServiceProvider* services) { services_ = comsupport::ComPtr<IServiceProvider>(services); }

  // IOleClientSite
  STDMETHODIMP SaveObject() override;
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override;
  STDMETHODIMP OnShowWindow(BOOL) override;
  STDMETHODIMP RequestNewObjectLayout() override;

  // IOleWindow (for the in-place site and the frame alike)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override;

  // IOleInPlaceSite(Ex)
  STDMETHODIMP CanInPlaceActivate() override;
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override;
  STDMETHODIMP OnUIDeactivate(BOOL) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override;
  STDMETHODIMP DeactivateAndUndo() override;
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;
  STDMETHODIMP OnInPlaceActivateEx(BOOL* no_redraw, DWORD flags) override;
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL no_redraw) override;
  STDMETHODIMP RequestUIActivate() override;

  // IOleInPlaceUIWindow / IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT border) override;
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override;
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override;
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override;
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override;
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override;
  STDMETHODIMP RemoveMenus(HMENU) override;
  STDMETHODIMP SetStatusText(LPCOLESTR) override;
  STDMETHODIMP EnableModeless(BOOL) override;
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override;

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override;
  STDMETHODIMP LockInPlaceActive(BOOL) override;
  STDMETHODIMP GetExtendedControl(IDispatch** control) override;
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override;
  STDMETHODIMP OnFocus(BOOL) override;
  STDMETHODIMP ShowPropertyFrame() override;

  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

  // IDispatch: the ambient properties
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  HWND host_;
  RECT position_;
  bool in_place_active_ = false;
  comsupport::ComPtr<IOleContainer> container_;
  comsupport::ComPtr<IServiceProvider> services_;
  std::map<DISPID, comsupport::Variant> ambients_;
  std::vector<std::string> journal_;
};

}  // namespace standin
