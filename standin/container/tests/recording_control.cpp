#include "recording_control.h"

#include "comsupport/class_factory.h"

DWORD RecordingControl::misc_status = 0;
std::vector<std::string> RecordingControl::calls;
int RecordingControl::destroyed = 0;
bool RecordingControl::offers_class_info2 = true;

namespace {

const OLECHAR kCaption[] = L"Caption";
const OLECHAR kCount[] = L"Count";

}  // namespace

HRESULT RecordingControl::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  return comsupport::CreateAggregatable<RecordingControl>(outer, iid, out);
}

RecordingControl::~RecordingControl() {
  if (window_) ::DestroyWindow(window_);
  ++destroyed;
}

STDMETHODIMP RecordingControl::get_Caption(BSTR* value) {
  if (!value) return E_POINTER;
  *value = comsupport::Bstr(caption_).Detach();
  return S_OK;
}

STDMETHODIMP RecordingControl::put_Caption(BSTR value) {
  caption_ = comsupport::Bstr(value).Ansi();
  dirty_ = true;
  NotifyPropertyChanged(1);
  return S_OK;
}

STDMETHODIMP RecordingControl::get_Count(LONG* value) {
  if (!value) return E_POINTER;
  *value = count_;
  return S_OK;
}

STDMETHODIMP RecordingControl::put_Count(LONG value) {
  count_ = value;
  dirty_ = true;
  NotifyPropertyChanged(2);
  return S_OK;
}

STDMETHODIMP RecordingControl::Act(VARIANT_BOOL* done) {
  if (!done) return E_POINTER;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  comsupport::Variant cancel_argument;
  cancel_argument.get()->vt = VT_BYREF | VT_BOOL;
  cancel_argument.get()->pboolVal = &cancel;
  FireEvent(1, caption_, count_, cancel_argument);
  calls.push_back(cancel ? "Act cancelled" : "Act done");
  *done = cancel ? VARIANT_FALSE : VARIANT_TRUE;
  return S_OK;
}

STDMETHODIMP RecordingControl::SetClientSite(IOleClientSite* site) {
  calls.push_back(site ? "SetClientSite" : "SetClientSite(null)");
  site_ = comsupport::ComPtr<IOleClientSite>(site);
  if (site) ReadBackColor();
  return S_OK;
}

STDMETHODIMP RecordingControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP RecordingControl::Close(DWORD option) {
  calls.push_back("Close " + std::to_string(option));
  return S_OK;
}

STDMETHODIMP RecordingControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                      LPCRECT position) {
  calls.push_back("DoVerb " + std::to_string(verb));
  if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE) return E_NOTIMPL;
  if (window_) return S_OK;
  if (!site || !position) return E_INVALIDARG;
  auto in_place_site = comsupport::ComPtr<IOleClientSite>(site).As<IOleInPlaceSite>();
  if (!in_place_site) return E_NOINTERFACE;
  if (in_place_site->CanInPlaceActivate() != S_OK) return E_FAIL;
  in_place_site->OnInPlaceActivate();
  comsupport::ComPtr<IOleInPlaceFrame> frame;
  comsupport::ComPtr<IOleInPlaceUIWindow> document;
  RECT site_position, clip;
  OLEINPLACEFRAMEINFO info = {};
  info.cb = sizeof(info);
  HRESULT hr = in_place_site->GetWindowContext(frame.put(), document.put(), &site_position, &clip, &info);
  if (FAILED(hr)) return hr;
  HWND host = nullptr;
  hr = in_place_site->GetWindow(&host);
  if (FAILED(hr)) return hr;
  if (parent && parent != host) return E_INVALIDARG;
  window_ = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, position->left, position->top,
                              position->right - position->left, position->bottom - position->top, host, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
  if (!window_) return HRESULT_FROM_WIN32(::GetLastError());
  in_place_site_ = in_place_site;
  return S_OK;
}

STDMETHODIMP RecordingControl::SetExtent(DWORD, SIZEL* extent) {
  if (!extent) return E_POINTER;
  extent_ = *extent;
  return S_OK;
}

STDMETHODIMP RecordingControl::GetExtent(DWORD, SIZEL* extent) {
  if (!extent) return E_POINTER;
  *extent = extent_;
  return S_OK;
}

STDMETHODIMP RecordingControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  calls.push_back("GetMiscStatus " + std::to_string(aspect));
  *status = misc_status;
  return S_OK;
}

STDMETHODIMP RecordingControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP RecordingControl::InPlaceDeactivate() {
  size_t sinks = Point(DIID_DTestControlEvents)->SinkCount() + Point(IID_IPropertyNotifySink)->SinkCount();
  calls.push_back("InPlaceDeactivate sinks " + std::to_string(sinks));
  if (!window_) return S_OK;
  ::DestroyWindow(window_);
  window_ = nullptr;
  if (in_place_site_) in_place_site_->OnInPlaceDeactivate();
  in_place_site_.reset();
  return S_OK;
}

STDMETHODIMP RecordingControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (!window_) return E_UNEXPECTED;
  ::MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
}

STDMETHODIMP RecordingControl::OnAmbientPropertyChange(DISPID id) {
  calls.push_back("OnAmbientPropertyChange " + std::to_string(id));
  if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN) ReadBackColor();
  return S_OK;
}

STDMETHODIMP RecordingControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_TestControl;
  return S_OK;
}

STDMETHODIMP RecordingControl::InitNew() {
  calls.push_back("InitNew");
  return S_OK;
}

STDMETHODIMP RecordingControl::Load(IPropertyBag* bag, IErrorLog* log) {
  calls.push_back("Load bag");
  if (!bag) return E_POINTER;
  comsupport::Variant caption;
  caption.get()->vt = VT_BSTR;
  if (SUCCEEDED(bag->Read(kCaption, caption.get(), log)) && caption.type() == VT_BSTR) {
    caption_ = comsupport::Bstr(caption.get()->bstrVal).Ansi();
  }
  comsupport::Variant count;
  count.get()->vt = VT_I4;
  HRESULT hr = bag->Read(kCount, count.get(), log);
  if (SUCCEEDED(hr)) {
    if (count.type() != VT_I4) return E_UNEXPECTED;
    count_ = count.get()->lVal;
  }
  return S_OK;
}

STDMETHODIMP RecordingControl::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  comsupport::Variant caption(caption_);
  HRESULT hr = bag->Write(kCaption, caption.get());
  if (FAILED(hr)) return hr;
  comsupport::Variant count(count_);
  hr = bag->Write(kCount, count.get());
  if (FAILED(hr)) return hr;
  if (clear_dirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP RecordingControl::Load(IStream* stream) {
  calls.push_back("Load stream");
  if (!stream) return E_POINTER;
  DWORD length = 0;
  ULONG read = 0;
  HRESULT hr = stream->Read(&length, sizeof(length), &read);
  if (FAILED(hr) || read != sizeof(length) || length > 0x10000) return STG_E_READFAULT;
  std::string caption(length, '\0');
  if (length && (FAILED(stream->Read(&caption[0], length, &read)) || read != length)) return STG_E_READFAULT;
  LONG count = 0;
  if (FAILED(stream->Read(&count, sizeof(count), &read)) || read != sizeof(count)) return STG_E_READFAULT;
  caption_ = caption;
  count_ = count;
  return S_OK;
}

STDMETHODIMP RecordingControl::Save(IStream* stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  DWORD length = static_cast<DWORD>(caption_.size());
  HRESULT hr = stream->Write(&length, sizeof(length), nullptr);
  if (SUCCEEDED(hr) && length) hr = stream->Write(caption_.data(), length, nullptr);
  if (SUCCEEDED(hr)) hr = stream->Write(&count_, sizeof(count_), nullptr);
  if (SUCCEEDED(hr) && clear_dirty) dirty_ = false;
  return hr;
}

STDMETHODIMP RecordingControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = sizeof(DWORD) + caption_.size() + sizeof(LONG);
  return S_OK;
}

void RecordingControl::ReadBackColor() {
  auto ambients = site_.As<IDispatch>();
  comsupport::Variant color;
  DISPPARAMS none = {};
  if (!ambients || FAILED(ambients->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                           color.get(), nullptr, nullptr)) ||
      FAILED(::VariantChangeType(color.get(), color.get(), 0, VT_I4))) {
    calls.push_back("BackColor none");
    return;
  }
  calls.push_back("BackColor " + std::to_string(static_cast<unsigned long>(color.get()->lVal)));
}

void* RecordingControl::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITestControl) return static_cast<ITestControl*>(this);
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) return static_cast<IOleInPlaceObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IPersist || iid == IID_IPersistPropertyBag) return static_cast<IPersistPropertyBag*>(this);
  if (iid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
  if (iid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_IProvideClassInfo2 && offers_class_info2) return static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}
