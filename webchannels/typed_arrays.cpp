#include "typed_arrays.h"

#include "chanbind_control.h"
#include "comsupport/bstr.h"
#include "script_errors.h"

namespace chanbind {

using comsupport::Variant;

namespace {

SAFEARRAY* ArrayOf(const VARIANT& value, VARTYPE* element_type) {
  const VARIANT* inner = &value;
  if (inner->vt == (VT_BYREF | VT_VARIANT) && inner->pvarVal) inner = inner->pvarVal;
  if (!(inner->vt & VT_ARRAY)) return nullptr;
  SAFEARRAY* array = (inner->vt & VT_BYREF) ? (inner->pparray ? *inner->pparray : nullptr) : inner->parray;
  if (!array || ::SafeArrayGetDim(array) != 1) return nullptr;
  *element_type = inner->vt & VT_TYPEMASK;
  return array;
}

}  // namespace

HRESULT TypedToVariantArray(const VARIANT& typed, VARIANT* result) {
  VARTYPE type = VT_EMPTY;
  SAFEARRAY* array = ArrayOf(typed, &type);
  if (!array) return E_INVALIDARG;
  LONG low = 0, high = -1;
  ::SafeArrayGetLBound(array, 1, &low);
  ::SafeArrayGetUBound(array, 1, &high);
  SAFEARRAYBOUND bound{static_cast<ULONG>(high - low + 1), low};
  SAFEARRAY* out = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  if (!out) return E_OUTOFMEMORY;
  for (LONG i = low; i <= high; ++i) {
    Variant element;
    if (type == VT_VARIANT) {
      ::SafeArrayGetElement(array, &i, element.put());
    } else {
      // The element's storage is what a VARIANT of that type holds.
      VARIANT* slot = element.put();
      HRESULT hr = ::SafeArrayGetElement(array, &i, &slot->lVal);
      if (FAILED(hr)) {
        ::SafeArrayDestroy(out);
        return hr;
      }
      slot->vt = type;
    }
    ::SafeArrayPutElement(out, &i, element.get());
  }
  ::VariantInit(result);
  result->vt = VT_ARRAY | VT_VARIANT;
  result->parray = out;
  return S_OK;
}

HRESULT VariantToTypedArray(const VARIANT& variants, VARIANT* result) {
  VARTYPE type = VT_EMPTY;
  SAFEARRAY* array = ArrayOf(variants, &type);
  if (!array) return E_INVALIDARG;
  if (type != VT_VARIANT) return ::VariantCopyInd(result, const_cast<VARIANT*>(&variants));
  LONG low = 0, high = -1;
  ::SafeArrayGetLBound(array, 1, &low);
  ::SafeArrayGetUBound(array, 1, &high);
  VARTYPE common = VT_EMPTY;
  for (LONG i = low; i <= high; ++i) {
    Variant element;
    ::SafeArrayGetElement(array, &i, element.put());
    if (common == VT_EMPTY) {
      common = element.type();
    } else if (common != element.type()) {
      common = VT_VARIANT;
    }
  }
  const bool scalar = common == VT_I2 || common == VT_I4 || common == VT_R4 || common == VT_R8 || common == VT_BSTR ||
                      common == VT_BOOL || common == VT_DATE || common == VT_UI1 || common == VT_CY;
  if (!scalar) return ::VariantCopyInd(result, const_cast<VARIANT*>(&variants));
  SAFEARRAYBOUND bound{static_cast<ULONG>(high - low + 1), low};
  SAFEARRAY* out = ::SafeArrayCreate(common, 1, &bound);
  if (!out) return E_OUTOFMEMORY;
  for (LONG i = low; i <= high; ++i) {
    Variant element;
    ::SafeArrayGetElement(array, &i, element.put());
    void* data = common == VT_BSTR ? static_cast<void*>(element.get()->bstrVal) : &element.get()->lVal;
    HRESULT hr = ::SafeArrayPutElement(out, &i, data);
    if (FAILED(hr)) {
      ::SafeArrayDestroy(out);
      return hr;
    }
  }
  ::VariantInit(result);
  result->vt = VT_ARRAY | common;
  result->parray = out;
  return S_OK;
}

STDMETHODIMP Chanbind::get_TypedToVariant(VARIANT array, VARIANT* result) {
  if (!result) return E_POINTER;
  ::VariantInit(result);
  return TypedToVariantArray(array, result);
}

STDMETHODIMP Chanbind::get_VariantToTyped(VARIANT array, VARIANT* result) {
  if (!result) return E_POINTER;
  ::VariantInit(result);
  return VariantToTypedArray(array, result);
}

}  // namespace chanbind
