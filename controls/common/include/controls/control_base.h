// The base of the suite's ActiveX controls: the OLE embedding, in-place activation, drawing,
// persistence, dispatch and event plumbing every control needs, and the shared frame's window
// life (attaching to Ravlin and Vinnet, the control registry, the client's shutdown). A control
// class derives from it, describes itself with a ControlClass, and overrides the hooks below.
//
// Threading: every member runs on the thread that created the control (an apartment thread),
// except what control_registry.h says about the shutdown callback.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/connection_points.h"
#include "comsupport/unique_handle.h"
#include "controls/control_class.h"
#include "controls/dispatch_call.h"
#include "controls/property_exchange.h"

namespace controls {

// Posted by the shutdown callback to every registered control window.
constexpr UINT kClientShutdownMessage = WM_USER + 0x159;

class ControlBase
    : public comsupport::ComObject<IDispatch, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl,
                                   IViewObject2, IPersistPropertyBag, IPersistStreamInit, IProvideClassInfo2,
                                   ISpecifyPropertyPages, comsupport::ConnectionPointContainerBase> {
 public:
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD option) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* extent) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* extent) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleInPlaceObject (and IOleWindow)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device, HDC target_info, HDC draw,
                    LPCRECTL bounds, LPCRECTL window_bounds, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return S_FALSE; }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL extent) override;

  // IPersistPropertyBag and IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
  STDMETHODIMP IsDirty() override { return modified_ ? S_OK : S_FALSE; }
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override;

  HWND window() const { return window_; }
  const ControlClass& control_class() const { return class_; }

 protected:
  explicit ControlBase(const ControlClass& control_class);
  ~ControlBase() override;
  void* FindInterface(REFIID iid) override;

  // --- Hooks for the control class ---
  // After the frame attached the libraries and subscribed the window: create the child
  // windows. false fails the window's creation.
  virtual bool OnCreateWindow() = 0;
  // The window's messages, before the frame's default handling; set handled to consume one.
  virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) = 0;
  // Keys the host offers through TranslateAccelerator, before the window sees them.
  virtual bool PreTranslateKey(const MSG&) { return false; }
  // The client is shutting down: the libraries are released; lose what depends on them.
  virtual void OnLibrariesLost() {}
  // The control's own properties after the stock ones.
  virtual HRESULT ExchangeProperties(PropertyExchange& exchange, DWORD version) = 0;
  // Loaded or reset: apply the properties to the windows if they exist.
  virtual void OnPropertiesLoaded() {}
  // The dispinterface's own members; DISP_E_MEMBERNOTFOUND when the id is none of them.
  virtual HRESULT InvokeMember(DispatchCall& call) = 0;
  // A stock colour changed.
  virtual void OnBackColorChanged() {}
  virtual void OnForeColorChanged() {}
  // Drawing without a window; the default fills bounds with the stock white brush.
  virtual void DrawWithoutWindow(HDC dc, const RECT& bounds);

  // --- Services for the control class ---
  template <class... Args>
  void FireEvent(DISPID id, const Args&... arguments) {
    if (events_frozen_ > 0) return;
    ConnectionPointContainerBase::FireEvent(id, arguments...);
  }
  void SetModified() { modified_ = true; }
  OLE_COLOR back_color() const { return back_color_; }
  OLE_COLOR fore_color() const { return fore_color_; }
  // For a control whose stored properties carry the stock colours a second time.
  void set_back_color(OLE_COLOR color) { back_color_ = color; }
  void set_fore_color(OLE_COLOR color) { fore_color_ = color; }
  // OLE_COLOR to COLORREF (system colours resolved); black when it cannot be translated.
  static COLORREF TranslateColor(OLE_COLOR color);
  void InvalidateControl();
  // Gives up this instance's hold on the libraries early (Terminate()).
  void Terminate();
  // Shows the module's about dialog, owned by the control's window.
  void ShowAboutBox();
  bool libraries_attached() const { return libraries_attached_; }
  // The control class's destructor calls this first: the window's last messages still reach
  // the class's hooks.
  void DestroyControl();

 private:
  friend class ControlWindowClass;
  enum class ReleaseReason { kShutdown, kTerminate, kDestruction };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool CreateWindowFrame(HWND host, const RECT& place);
  bool AttachWindow();
  void DetachWindow();
  void ReleaseLibraries(ReleaseReason reason);
  HRESULT InPlaceActivate(IOleClientSite* site, HWND parent, const RECT* position);
  HRESULT ExchangeAll(PropertyExchange& exchange);
  void ResetProperties();
  HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** info);
  void SendViewChange();

  const ControlClass& class_;
  comsupport::ComPtr<IOleClientSite> site_;
  comsupport::ComPtr<IOleInPlaceSite> in_place_site_;
  comsupport::ComPtr<IOleAdviseHolder> advise_holder_;
  comsupport::ComPtr<IAdviseSink> view_sink_;
  DWORD view_aspects_ = 0;
  DWORD view_flags_ = 0;
  comsupport::ComPtr<ITypeInfo> dispatch_info_;
  HWND window_ = nullptr;
  SIZEL extent_;  // HIMETRIC
  OLE_COLOR back_color_ = 0xFFFFFF;
  OLE_COLOR fore_color_ = 0x000000;
  bool modified_ = false;
  bool initialized_ = false;
  bool libraries_attached_ = false;
  bool ravlin_started_ = false;
  bool registered_ = false;
  long events_frozen_ = 0;
};

}  // namespace controls
