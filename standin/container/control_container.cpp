#include "standin/control_container.h"

#include <olectl.h>

#include "comsupport/bstr.h"

namespace standin {

namespace {

const char kHostClass[] = "HalvernControlHost";

void RegisterHostClass() {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kHostClass;
  // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is fine.
  ::RegisterClassA(&window_class);
}

}  // namespace

Initialization Initialization::FromParams(PropertyList params) {
  Initialization result;
  result.kind = Kind::kBag;
  result.params = std::move(params);
  return result;
}

Initialization Initialization::FromStream(IStream* stream) {
  Initialization result;
  result.kind = Kind::kStream;
  result.stream = comsupport::ComPtr<IStream>(stream);
  return result;
}

ControlContainer::ControlContainer(int width, int height) {
  RegisterHostClass();
  RECT frame = {0, 0, width, height};
  ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  host_.reset(::CreateWindowExA(0, kHostClass, "Control host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr));
  if (!host_) throw comsupport::ComError(HRESULT_FROM_WIN32(::GetLastError()), GUID_NULL, "CreateWindowEx control host");
  site_ = comsupport::ComPtr<ControlSite>::Attach(new ControlSite(host_.get()));
}

ControlContainer::~ControlContainer() { Teardown(); }

HRESULT ControlContainer::Create(const std::string& clsid_or_progid, const Initialization& initialization) {
  if (control_) return E_UNEXPECTED;
  std::wstring name = comsupport::ToWide(clsid_or_progid);
  CLSID clsid;
  HRESULT hr = name.empty() || name[0] != L'{' ? ::CLSIDFromProgID(name.c_str(), &clsid)
                                                 : ::CLSIDFromString(name.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  comsupport::ComPtr<IClassFactory> factory;
  hr = ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void());
  if (FAILED(hr)) return hr;
  return Create(factory.get(), initialization);
}

HRESULT ControlContainer::Create(IClassFactory* factory, const Initialization& initialization) {
  if (!factory) return E_POINTER;
  if (control_) return E_UNEXPECTED;
  comsupport::ComPtr<IUnknown> control;
  HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, control.put_void());
  if (FAILED(hr)) return hr;
  control_ = control;
  if (initialization.before_load) initialization.before_load(control_.get());
  comsupport::ComPtr<IOleObject> ole = control_.As<IOleObject>();
  misc_status_ = 0;
  if (ole && FAILED(ole->GetMiscStatus(DVASPECT_CONTENT, &misc_status_))) misc_status_ = 0;
  bool site_first = (misc_status_ & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (ole && site_first) hr = ole->SetClientSite(site_.get());
  if (SUCCEEDED(hr)) hr = Load(initialization);
  if (ole && !site_first && SUCCEEDED(hr)) hr = ole->SetClientSite(site_.get());
  if (SUCCEEDED(hr) && ole) {
    ole->SetHostNames(L"Control host", nullptr);
  }
  if (FAILED(hr)) Teardown();
  return hr;
}

HRESULT ControlContainer::Load(const Initialization& initialization) {
  loaded_bag_.reset();
  if (initialization.kind == Initialization::Kind::kBag) {
    if (auto persist = control_.As<IPersistPropertyBag>()) {
      loaded_bag_ = comsupport::ComPtr<PropertyBag>::Attach(new PropertyBag(initialization.params));
      return persist->Load(loaded_bag_.get(), nullptr);
    }
  }
  auto stream_persist = control_.As<IPersistStreamInit>();
  if (initialization.kind == Initialization::Kind::kStream) {
    if (!initialization.stream) return E_POINTER;
    if (!stream_persist) return E_NOINTERFACE;
    return stream_persist->Load(initialization.stream.get());
  }
  if (stream_persist) return stream_persist->InitNew();
  // A control with only a property bag starts empty through it.
  if (auto persist = control_.As<IPersistPropertyBag>()) return persist->InitNew();
  return S_OK;
}

HRESULT ControlContainer::Activate() {
  auto ole = control_.As<IOleObject>();
  if (!ole) return E_NOINTERFACE;
  RECT position = site_->position();
  return ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, host_.get(), &position);
}

HRESULT ControlContainer::Resize(const RECT& position) {
  site_->SetPosition(position);
  auto in_place = control_.As<IOleInPlaceObject>();
  if (!in_place) return E_NOINTERFACE;
  if (auto ole = control_.As<IOleObject>()) {
    // The extent is in HIMETRIC: 2540 to the inch.
    POINTL himetric = {};
    POINTF pixels = {static_cast<float>(position.right - position.left),
                     static_cast<float>(position.bottom - position.top)};
    if (SUCCEEDED(site_->TransformCoords(&himetric, &pixels, XFORMCOORDS_CONTAINERTOHIMETRIC))) {
      SIZEL extent = {himetric.x, himetric.y};
      ole->SetExtent(DVASPECT_CONTENT, &extent);
    }
  }
  RECT clip;
  ::GetClientRect(host_.get(), &clip);
  return in_place->SetObjectRects(&position, &clip);
}

HWND ControlContainer::ControlWindow() const {
  auto window = control_.As<IOleWindow>();
  HWND handle = nullptr;
  if (!window || FAILED(window->GetWindow(&handle))) return nullptr;
  return handle;
}

HRESULT ControlContainer::FindDefaultSource(IID* source) {
  *source = GUID_NULL;
  if (auto info2 = control_.As<IProvideClassInfo2>()) {
    if (SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, source)) && *source != GUID_NULL) return S_OK;
  }
  // Older controls: the coclass's [default, source] interface.
  auto info = control_.As<IProvideClassInfo>();
  if (!info) return E_NOINTERFACE;
  comsupport::ComPtr<ITypeInfo> coclass;
  HRESULT hr = info->GetClassInfo(coclass.put());
  if (FAILED(hr)) return hr;
  TYPEATTR* attributes = nullptr;
  hr = coclass->GetTypeAttr(&attributes);
  if (FAILED(hr)) return hr;
  WORD count = attributes->cImplTypes;
  coclass->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    INT flags = 0;
    if (FAILED(coclass->GetImplTypeFlags(i, &flags))) continue;
    if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) {
      continue;
    }
    HREFTYPE reference = 0;
    comsupport::ComPtr<ITypeInfo> events;
    if (FAILED(coclass->GetRefTypeOfImplType(i, &reference)) ||
        FAILED(coclass->GetRefTypeInfo(reference, events.put()))) {
      continue;
    }
    TYPEATTR* event_attributes = nullptr;
    if (FAILED(events->GetTypeAttr(&event_attributes))) continue;
    *source = event_attributes->guid;
    events->ReleaseTypeAttr(event_attributes);
    return S_OK;
  }
  return E_NOINTERFACE;
}

HRESULT ControlContainer::Advise() {
  if (!control_) return E_UNEXPECTED;
  if (!connections_.empty()) return S_FALSE;
  auto container = control_.As<IConnectionPointContainer>();
  if (!container) return E_NOINTERFACE;
  IID source;
  HRESULT hr = FindDefaultSource(&source);
  if (FAILED(hr)) return hr;
  sink_ = comsupport::ComPtr<EventSink>::Attach(new EventSink(source));
  const IID* wanted[] = {&source, &IID_IPropertyNotifySink};
  for (const IID* iid : wanted) {
    Connection connection = {};
    hr = container->FindConnectionPoint(*iid, connection.point.put());
    if (FAILED(hr)) {
      if (iid == &source) return hr;
      continue;  // property notifications are optional
    }
    hr = connection.point->Advise(static_cast<IDispatch*>(sink_.get()), &connection.cookie);
    if (FAILED(hr)) {
      if (iid == &source) return hr;
      continue;
    }
    connections_.push_back(connection);
  }
  return S_OK;
}

HRESULT ControlContainer::SetAmbient(DISPID id, const comsupport::Variant& value) {
  site_->SetAmbient(id, value);
  auto control = control_.As<IOleControl>();
  if (!control) return S_FALSE;
  return control->OnAmbientPropertyChange(id);
}

HRESULT ControlContainer::SaveToBag(comsupport::ComPtr<PropertyBag>* bag) {
  if (!bag) return E_POINTER;
  auto persist = control_.As<IPersistPropertyBag>();
  if (!persist) return E_NOINTERFACE;
  auto fresh = comsupport::ComPtr<PropertyBag>::Attach(new PropertyBag());
  HRESULT hr = persist->Save(fresh.get(), TRUE, TRUE);
  if (FAILED(hr)) return hr;
  *bag = fresh;
  return S_OK;
}

HRESULT ControlContainer::SaveToStream(comsupport::ComPtr<IStream>* stream) {
  if (!stream) return E_POINTER;
  auto persist = control_.As<IPersistStreamInit>();
  if (!persist) return E_NOINTERFACE;
  comsupport::ComPtr<IStream> memory;
  HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
  if (FAILED(hr)) return hr;
  hr = persist->Save(memory.get(), TRUE);
  if (FAILED(hr)) return hr;
  LARGE_INTEGER start = {};
  hr = memory->Seek(start, STREAM_SEEK_SET, nullptr);
  if (FAILED(hr)) return hr;
  *stream = memory;
  return S_OK;
}

void ControlContainer::Teardown() {
  for (auto& connection : connections_) connection.point->Unadvise(connection.cookie);
  connections_.clear();
  if (control_) {
    if (auto in_place = control_.As<IOleInPlaceObject>()) in_place->InPlaceDeactivate();
    if (auto ole = control_.As<IOleObject>()) {
      ole->Close(OLECLOSE_NOSAVE);
      ole->SetClientSite(nullptr);
    }
  }
  control_.reset();
  loaded_bag_.reset();
}

}  // namespace standin
