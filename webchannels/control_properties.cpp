// The control's plain properties: stored values with their getters and setters.
#include "chanbind_control.h"
#include "script_errors.h"
#include "value_converters.h"

namespace chanbind {

namespace {

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

HRESULT CopyText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = ::SysAllocString(text.c_str());
  return S_OK;
}

}  // namespace

STDMETHODIMP Chanbind::get_AutoReset(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = Bool(auto_reset_);
  return S_OK;
}
STDMETHODIMP Chanbind::put_AutoReset(VARIANT_BOOL value) {
  auto_reset_ = value != VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP Chanbind::get_Async(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = Bool(async_);
  return S_OK;
}
STDMETHODIMP Chanbind::put_Async(VARIANT_BOOL value) {
  async_ = value != VARIANT_FALSE;
  async_explicit_ = true;
  return S_OK;
}

STDMETHODIMP Chanbind::get_Sort(BSTR* sort) { return CopyText(sort_, sort); }
STDMETHODIMP Chanbind::put_Sort(BSTR sort) {
  sort_ = sort ? sort : L"";
  return S_OK;
}
STDMETHODIMP Chanbind::get_SortColumn(BSTR* column) { return CopyText(sort_column_, column); }
STDMETHODIMP Chanbind::put_SortColumn(BSTR column) {
  sort_column_ = column ? column : L"";
  return S_OK;
}
STDMETHODIMP Chanbind::get_SortAscending(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = Bool(sort_ascending_);
  return S_OK;
}
STDMETHODIMP Chanbind::put_SortAscending(VARIANT_BOOL value) {
  sort_ascending_ = value != VARIANT_FALSE;
  return S_OK;
}
STDMETHODIMP Chanbind::get_SortCaseSensitive(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = Bool(sort_case_sensitive_);
  return S_OK;
}
STDMETHODIMP Chanbind::put_SortCaseSensitive(VARIANT_BOOL value) {
  sort_case_sensitive_ = value != VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP Chanbind::get_Embellish(long* value) {
  if (!value) return E_POINTER;
  *value = embellish_;
  return S_OK;
}
STDMETHODIMP Chanbind::put_Embellish(long value) {
  embellish_ = value;
  return S_OK;
}

STDMETHODIMP Chanbind::get_returnValue(VARIANT* value) {
  if (!value) return E_POINTER;
  ::VariantInit(value);
  return ::VariantCopy(value, return_value_.get());
}
STDMETHODIMP Chanbind::put_returnValue(VARIANT value) {
  return ::VariantCopyInd(return_value_.put(), &value);
}

STDMETHODIMP Chanbind::get_TimeToDate(long time, DATE* date) {
  if (!date) return E_POINTER;
  return TimeToDate(time, date) ? S_OK : E_FAIL;
}
STDMETHODIMP Chanbind::get_DateToTime(DATE date, long* time) {
  if (!time) return E_POINTER;
  return DateToTime(date, time) ? S_OK : E_FAIL;
}

STDMETHODIMP Chanbind::get_Valid(VARIANT_BOOL* valid) {
  if (!valid) return E_POINTER;
  *valid = Bool(valid_);
  return S_OK;
}
STDMETHODIMP Chanbind::put_Valid(VARIANT_BOOL) {
  // Only tells the page's binding to look again.
  NoticeChanged(DISPID_VALID);
  return S_OK;
}

STDMETHODIMP Chanbind::get_ReadyState(long* state) {
  if (!state) return E_POINTER;
  *state = ready_state_;
  return S_OK;
}
STDMETHODIMP Chanbind::put_ReadyState(long) {
  return ScriptBoundary("Chanbind::put_ReadyState", [&] {
    NoticeChanged(DISPID_READYSTATE);
    RaiseReadyStateChange(ready_state_);
  });
}

STDMETHODIMP Chanbind::get_Events(long* events) {
  if (!events) return E_POINTER;
  *events = events_;
  return S_OK;
}
STDMETHODIMP Chanbind::put_Events(long) {
  events_ = NO_EVENT;
  return S_OK;
}

STDMETHODIMP Chanbind::get_Apps(IDispatch** apps) {
  if (!apps) return E_POINTER;
  return QueryInterface(IID_IZrApps, reinterpret_cast<void**>(apps));
}

}  // namespace chanbind
