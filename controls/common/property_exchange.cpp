#include "controls/property_exchange.h"

#include "comsupport/bstr.h"

namespace controls {

namespace {

constexpr char kVersionName[] = "_Version";

}  // namespace

HRESULT PropertyExchange::Color(const char* name, OLE_COLOR& value, OLE_COLOR default_value) {
  long number = static_cast<long>(value);
  HRESULT hr = Long(name, number, static_cast<long>(default_value));
  if (SUCCEEDED(hr)) value = static_cast<OLE_COLOR>(number);
  return hr;
}

bool BagExchange::ReadAs(const char* name, VARTYPE type, VARIANT* value) {
  comsupport::Variant stored;
  const std::wstring wide = comsupport::ToWide(name);
  // VT_EMPTY lets the bag give the value in the type it holds; we convert it ourselves.
  if (FAILED(bag_->Read(wide.c_str(), stored.get(), log_))) return false;
  return SUCCEEDED(::VariantChangeType(value, stored.get(), 0, type));
}

HRESULT BagExchange::Write(const char* name, VARIANT* value) {
  const std::wstring wide = comsupport::ToWide(name);
  return bag_->Write(wide.c_str(), value);
}

HRESULT BagExchange::Version(DWORD current, DWORD* version) {
  long number = static_cast<long>(current);
  HRESULT hr = Long(kVersionName, number, static_cast<long>(current));
  *version = static_cast<DWORD>(number);
  return hr;
}

HRESULT BagExchange::Long(const char* name, long& value, long default_value) {
  comsupport::Variant variant;
  if (loading()) {
    value = ReadAs(name, VT_I4, variant.put()) ? variant.get()->lVal : default_value;
    return S_OK;
  }
  variant = comsupport::Variant(value);
  return Write(name, variant.get());
}

HRESULT BagExchange::Bool(const char* name, VARIANT_BOOL& value, VARIANT_BOOL default_value) {
  comsupport::Variant variant;
  if (loading()) {
    value = ReadAs(name, VT_BOOL, variant.put()) ? (variant.get()->boolVal ? VARIANT_TRUE : VARIANT_FALSE)
                                                  : default_value;
    return S_OK;
  }
  variant.get()->vt = VT_BOOL;
  variant.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return Write(name, variant.get());
}

HRESULT BagExchange::Text(const char* name, std::string& value, const std::string& default_value) {
  comsupport::Variant variant;
  if (loading()) {
    value = ReadAs(name, VT_BSTR, variant.put()) ? comsupport::ToAnsi(variant.get()->bstrVal,
                                                                       ::SysStringLen(variant.get()->bstrVal))
                                                  : default_value;
    return S_OK;
  }
  variant = comsupport::Variant(value);
  return Write(name, variant.get());
}

HRESULT StreamExchange::Bytes(void* data, ULONG size) {
  ULONG done = 0;
  HRESULT hr = loading() ? stream_->Read(data, size, &done) : stream_->Write(data, size, &done);
  if (FAILED(hr)) return hr;
  return done == size ? S_OK : (loading() ? STG_E_READFAULT : STG_E_WRITEFAULT);
}

HRESULT StreamExchange::Dword(DWORD& value) { return Bytes(&value, sizeof(value)); }

HRESULT StreamExchange::Version(DWORD current, DWORD* version) {
  *version = current;
  return Dword(*version);
}

HRESULT StreamExchange::Long(const char*, long& value, long) {
  DWORD number = static_cast<DWORD>(value);
  HRESULT hr = Dword(number);
  if (SUCCEEDED(hr)) value = static_cast<long>(number);
  return hr;
}

HRESULT StreamExchange::Bool(const char*, VARIANT_BOOL& value, VARIANT_BOOL) {
  DWORD number = value ? 1 : 0;
  HRESULT hr = Dword(number);
  if (SUCCEEDED(hr)) value = number ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

HRESULT StreamExchange::Text(const char*, std::string& value, const std::string&) {
  DWORD length = static_cast<DWORD>(value.size());
  HRESULT hr = Dword(length);
  if (FAILED(hr)) return hr;
  if (!loading()) return length ? Bytes(&value[0], length) : S_OK;
  if (length > kMaxText) return STG_E_READFAULT;
  std::string text(length, '\0');
  if (length) {
    hr = Bytes(&text[0], length);
    if (FAILED(hr)) return hr;
  }
  value = std::move(text);
  return S_OK;
}

}  // namespace controls
