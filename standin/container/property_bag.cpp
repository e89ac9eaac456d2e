#include "standin/property_bag.h"

#include "comsupport/boundary.h"
#include "comsupport/bstr.h"

namespace standin {

namespace {

std::string NameText(LPCOLESTR name) { return comsupport::ToAnsi(name, lstrlenW(name)); }

// Names in PARAM tags are not case-sensitive.
bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

const std::string* PropertyBag::Find(const std::string& name) const {
  for (const auto& entry : values_) {
    if (SameName(entry.first, name)) return &entry.second;
  }
  return nullptr;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  return comsupport::ComBoundary("PropertyBag::Read", [&]() -> HRESULT {
    std::string key = NameText(name);
    reads_.push_back(key);
    const std::string* text = Find(key);
    if (!text) return E_INVALIDARG;
    VARTYPE asked = value->vt;
    comsupport::Variant found(*text);
    ::VariantClear(value);
    if (asked == VT_EMPTY || asked == VT_BSTR) return ::VariantCopy(value, found.get());
    return ::VariantChangeType(value, found.get(), 0, asked);
  });
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  return comsupport::ComBoundary("PropertyBag::Write", [&]() -> HRESULT {
    comsupport::Variant text;
    HRESULT hr = ::VariantChangeType(text.get(), value, VARIANT_ALPHABOOL, VT_BSTR);
    if (FAILED(hr)) return hr;
    std::string key = NameText(name);
    std::string written = comsupport::Bstr(text.get()->bstrVal).Ansi();
    writes_.push_back(key + "=" + written);
    for (auto& entry : values_) {
      if (SameName(entry.first, key)) {
        entry.second = written;
        return S_OK;
      }
    }
    values_.emplace_back(key, written);
    return S_OK;
  });
}

void* PropertyBag::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) return static_cast<IPropertyBag*>(this);
  return nullptr;
}

}  // namespace standin
