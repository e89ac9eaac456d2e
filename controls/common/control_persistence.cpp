// Persistence of a control: the version, the extent and the stock colours, then the control's
// own properties, through one exchange for property bags and streams alike.
#include "controls/control_base.h"

#include "comsupport/boundary.h"

namespace controls {

HRESULT ControlBase::ExchangeAll(PropertyExchange& exchange) {
  DWORD version = class_.persist_version;
  HRESULT hr = exchange.Version(class_.persist_version, &version);
  if (FAILED(hr)) return hr;
  long width = extent_.cx, height = extent_.cy;
  if (FAILED(hr = exchange.Long("_ExtentX", width, extent_.cx))) return hr;
  if (FAILED(hr = exchange.Long("_ExtentY", height, extent_.cy))) return hr;
  if (exchange.loading() && width > 0 && height > 0) extent_ = {width, height};
  // The stock colours' defaults are the controls' own, whatever the page around them is.
  const OLE_COLOR back_default = 0xFFFFFF, fore_default = 0x000000;
  if (FAILED(hr = exchange.Color("BackColor", back_color_, back_default))) return hr;
  if (FAILED(hr = exchange.Color("ForeColor", fore_color_, fore_default))) return hr;
  return ExchangeProperties(exchange, version);
}

void ControlBase::ResetProperties() {
  // A bag with nothing in it gives every default.
  struct EmptyBag : IPropertyBag {
    STDMETHODIMP QueryInterface(REFIID, void** out) override {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR, VARIANT*, IErrorLog*) override { return E_INVALIDARG; }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  } empty;
  BagExchange exchange(&empty, nullptr, true);
  ExchangeAll(exchange);
}

STDMETHODIMP ControlBase::InitNew() {
  return comsupport::ComBoundary("InitNew", [&] {
    ResetProperties();
    initialized_ = true;
    modified_ = false;
    OnPropertiesLoaded();
    return S_OK;
  });
}

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  return comsupport::ComBoundary("IPersistPropertyBag::Load", [&] {
    BagExchange exchange(bag, log, true);
    HRESULT hr = ExchangeAll(exchange);
    initialized_ = true;
    modified_ = false;
    OnPropertiesLoaded();
    return hr;
  });
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  return comsupport::ComBoundary("IPersistPropertyBag::Save", [&] {
    BagExchange exchange(bag, nullptr, false);
    HRESULT hr = ExchangeAll(exchange);
    if (SUCCEEDED(hr) && clear_dirty) modified_ = false;
    return hr;
  });
}

STDMETHODIMP ControlBase::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  return comsupport::ComBoundary("IPersistStreamInit::Load", [&] {
    // What a short or damaged stream leaves unread keeps its default.
    ResetProperties();
    StreamExchange exchange(stream, true);
    HRESULT hr = ExchangeAll(exchange);
    initialized_ = true;
    modified_ = false;
    OnPropertiesLoaded();
    return hr;
  });
}

STDMETHODIMP ControlBase::Save(IStream* stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  return comsupport::ComBoundary("IPersistStreamInit::Save", [&] {
    StreamExchange exchange(stream, false);
    HRESULT hr = ExchangeAll(exchange);
    if (SUCCEEDED(hr) && clear_dirty) modified_ = false;
    return hr;
  });
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  // Every value is 32 bits; texts are bounded by the exchange.
  size->QuadPart = 64 * sizeof(DWORD) + 4 * StreamExchange::kMaxText;
  return S_OK;
}

}  // namespace controls
