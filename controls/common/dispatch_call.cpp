#include "controls/dispatch_call.h"

#include "comsupport/bstr.h"

namespace controls {

HRESULT DispatchCall::Converted(UINT index, VARTYPE type, VARIANT* value) {
  if (index >= ArgumentCount()) return DISP_E_BADPARAMCOUNT;
  // Arguments arrive last first.
  const UINT position = params_->cArgs - 1 - index;
  HRESULT hr = ::VariantChangeType(value, &params_->rgvarg[position], 0, type);
  if (FAILED(hr)) {
    if (argument_error_) *argument_error_ = position;
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT DispatchCall::Argument(UINT index, long* value) {
  comsupport::Variant converted;
  HRESULT hr = Converted(index, VT_I4, converted.get());
  if (SUCCEEDED(hr)) *value = converted.get()->lVal;
  return hr;
}

HRESULT DispatchCall::Argument(UINT index, bool* value) {
  comsupport::Variant converted;
  HRESULT hr = Converted(index, VT_BOOL, converted.get());
  if (SUCCEEDED(hr)) *value = converted.get()->boolVal != VARIANT_FALSE;
  return hr;
}

HRESULT DispatchCall::Argument(UINT index, std::string* value) {
  comsupport::Variant converted;
  HRESULT hr = Converted(index, VT_BSTR, converted.get());
  if (SUCCEEDED(hr)) *value = comsupport::ToAnsi(converted.get()->bstrVal, ::SysStringLen(converted.get()->bstrVal));
  return hr;
}

HRESULT DispatchCall::Return(long value) {
  if (!result_) return S_OK;
  ::VariantClear(result_);
  result_->vt = VT_I4;
  result_->lVal = value;
  return S_OK;
}

HRESULT DispatchCall::ReturnBool(bool value) {
  if (!result_) return S_OK;
  ::VariantClear(result_);
  result_->vt = VT_BOOL;
  result_->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT DispatchCall::Return(const std::string& value) {
  if (!result_) return S_OK;
  ::VariantClear(result_);
  result_->vt = VT_BSTR;
  result_->bstrVal = comsupport::Bstr(value).Detach();
  return result_->bstrVal ? S_OK : E_OUTOFMEMORY;
}

}  // namespace controls
