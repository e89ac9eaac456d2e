// A minimal in-process control that records what its host does to it.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/connection_points.h"
#include "comsupport/dispatch_impl.h"
#include "comsupport/provide_class_info.h"
#include "test_control.h"

class RecordingControl
    : public comsupport::ComObject<
          comsupport::DispatchImpl<ITestControl, &LIBID_TestControlLib>, IOleObject, IOleInPlaceObject, IOleControl,
          IPersistPropertyBag, IPersistStreamInit,
          comsupport::ProvideClassInfo2Impl<&CLSID_TestControl, &DIID_DTestControlEvents, &LIBID_TestControlLib>,
          comsupport::ConnectionPointContainerImpl<&DIID_DTestControlEvents, &IID_IPropertyNotifySink>> {
 public:
  // What every control reports from GetMiscStatus; set by a test before creation.
  static DWORD misc_status;
  // Calls received by every instance, in order, e.g. "SetClientSite", "InitNew", "BackColor 255".
  static std::vector<std::string> calls;
  static int destroyed;
  // When false the control answers only IProvideClassInfo, as older controls do.
  static bool offers_class_info2;

  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

  // ITestControl
  STDMETHODIMP get_Caption(BSTR* value) override;
  STDMETHODIMP put_Caption(BSTR value) override;
  STDMETHODIMP get_Count(LONG* value) override;
  STDMETHODIMP put_Count(LONG value) override;
  STDMETHODIMP Act(VARIANT_BOOL* done) override;

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
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD, SIZEL* extent) override;
  STDMETHODIMP GetExtent(DWORD, SIZEL* extent) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IPersistPropertyBag and IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
  STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

  const std::string& caption() const { return caption_; }
  long count() const { return count_; }

 protected:
  ~RecordingControl() override;
  void* FindInterface(REFIID iid) override;

 private:
  void ReadBackColor();

  comsupport::ComPtr<IOleClientSite> site_;
  comsupport::ComPtr<IOleInPlaceSite> in_place_site_;
  HWND window_ = nullptr;
  SIZEL extent_ = {2540, 2540};
  std::string caption_;
  long count_ = 0;
  bool dirty_ = false;
};
