#include "com_values.h"

namespace ravlin {

using comsupport::Variant;

namespace {

// The VARIANT a by-reference VARIANT points at; others as they are.
const VARIANT& Resolved(const VARIANT& value) {
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal) return *value.pvarVal;
  return value;
}

SAFEARRAY* ArrayOf(const VARIANT& value) {
  if (!(value.vt & VT_ARRAY)) return nullptr;
  if (value.vt & VT_BYREF) return value.pparray ? *value.pparray : nullptr;
  return value.parray;
}

}  // namespace

comsupport::Bstr BstrOf(const char* text) { return comsupport::Bstr(std::string(text ? text : "")); }

bool PutText(QMBuffer& buffer, BSTR text) {
  std::string ansi = text ? comsupport::ToAnsi(text, static_cast<int>(::SysStringLen(text))) : std::string();
  if (ansi.empty()) {
    buffer.Clear();
    return true;
  }
  return buffer.SetText(ansi.c_str());
}

bool IsIntegerVariant(const VARIANT& input) {
  switch (Resolved(input).vt & ~VT_BYREF) {
    case VT_I2: case VT_I4: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool VariantToLong(const VARIANT& input, long& number) {
  const VARIANT& value = Resolved(input);
  bool reference = (value.vt & VT_BYREF) != 0;
  if (reference && !value.byref) return false;
  switch (value.vt & ~VT_BYREF) {
    case VT_I1: number = reference ? *value.pcVal : value.cVal; return true;
    case VT_UI1: number = reference ? *value.pbVal : value.bVal; return true;
    case VT_I2: number = reference ? *value.piVal : value.iVal; return true;
    case VT_UI2: number = reference ? *value.puiVal : value.uiVal; return true;
    case VT_I4: number = reference ? *value.plVal : value.lVal; return true;
    case VT_INT: number = reference ? *value.pintVal : value.intVal; return true;
    case VT_UI4: number = static_cast<long>(reference ? *value.pulVal : value.ulVal); return true;
    case VT_UINT: number = static_cast<long>(reference ? *value.puintVal : value.uintVal); return true;
    case VT_BOOL: number = (reference ? *value.pboolVal : value.boolVal) ? 1 : 0; return true;
    default: break;
  }
  Variant converted;
  if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_I4))) return false;
  number = converted.get()->lVal;
  return true;
}

bool VariantToText(const VARIANT& input, std::string& text) {
  const VARIANT& value = Resolved(input);
  if (value.vt & VT_ARRAY) {
    std::vector<Variant> elements;
    if (!ArrayElements(value, elements)) return false;
    std::string joined;
    for (size_t i = 0; i < elements.size(); ++i) {
      std::string piece;
      if (!VariantToText(*elements[i].get(), piece)) return false;
      if (i > 0) joined += ";";
      joined += piece;
    }
    text = joined;
    return true;
  }
  if (value.vt == VT_EMPTY) {
    text.clear();
    return true;
  }
  Variant copy;
  return SUCCEEDED(::VariantCopyInd(copy.get(), const_cast<VARIANT*>(&value))) && copy.ToText(text);
}

Variant IdArrayVariant(const DATA_LIST& ids) {
  Variant result;
  long count = ids.GetCount();
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(count));
  if (!array) return result;
  LONG* data = nullptr;
  // An array that cannot be filled would hand the client zeros for ids.
  if (FAILED(::SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) {
    ::SafeArrayDestroy(array);
    return result;
  }
  for (long i = 0; i < count; ++i) data[i] = static_cast<LONG>(ids.GetAt(i));
  ::SafeArrayUnaccessData(array);
  result.get()->vt = VT_ARRAY | VT_I4;
  result.get()->parray = array;
  return result;
}

Variant TextArrayVariant(const std::vector<std::string>& texts) {
  Variant result;
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
  if (!array) return result;
  for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
    comsupport::Bstr element(texts[i]);
    // SafeArrayPutElement copies the BSTR.
    if (FAILED(::SafeArrayPutElement(array, &i, element.get()))) {
      ::SafeArrayDestroy(array);
      return result;
    }
  }
  result.get()->vt = VT_ARRAY | VT_BSTR;
  result.get()->parray = array;
  return result;
}

bool ArrayElements(const VARIANT& input, std::vector<Variant>& elements) {
  elements.clear();
  SAFEARRAY* array = ArrayOf(Resolved(input));
  VARTYPE type = VT_EMPTY;
  LONG lower = 0, upper = -1;
  if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &type)) ||
      FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper)))
    return false;
  // Elements wider than a VARIANT's value part cannot be read into one.
  if (type == VT_DECIMAL || type == VT_RECORD) return false;
  for (LONG at = lower; at <= upper; ++at) {
    Variant element;
    if (type == VT_VARIANT) {
      if (FAILED(::SafeArrayGetElement(array, &at, element.get()))) return false;
    } else {
      // Typed elements: read into a VARIANT of that type (SafeArrayGetElement copies texts).
      VARIANT* slot = element.get();
      if (FAILED(::SafeArrayGetElement(array, &at, &slot->lVal))) return false;
      slot->vt = type;
    }
    elements.push_back(element);
  }
  return true;
}

}  // namespace ravlin
