#include "json_value.h"

#include <stdexcept>

namespace standin {

using comsupport::Bstr;
using comsupport::Variant;

namespace {

struct TypeName {
  const char* name;
  VARTYPE type;
};

const TypeName kTypes[] = {
    {"VT_EMPTY", VT_EMPTY}, {"VT_NULL", VT_NULL},   {"VT_I1", VT_I1},     {"VT_I2", VT_I2},
    {"VT_I4", VT_I4},       {"VT_I8", VT_I8},       {"VT_UI1", VT_UI1},   {"VT_UI2", VT_UI2},
    {"VT_UI4", VT_UI4},     {"VT_UI8", VT_UI8},     {"VT_INT", VT_INT},   {"VT_UINT", VT_UINT},
    {"VT_R4", VT_R4},       {"VT_R8", VT_R8},       {"VT_CY", VT_CY},     {"VT_DATE", VT_DATE},
    {"VT_BSTR", VT_BSTR},   {"VT_BOOL", VT_BOOL},   {"VT_ERROR", VT_ERROR},
    {"VT_DECIMAL", VT_DECIMAL},
};

VARTYPE TypeOf(const Json& vt) {
  if (vt.is_number_integer()) return static_cast<VARTYPE>(vt.get<int>());
  if (vt.is_string()) {
    std::string name = vt.get<std::string>();
    for (const TypeName& type : kTypes) {
      if (name == type.name) return type.type;
    }
  }
  throw std::runtime_error("unknown variant type " + vt.dump());
}

SAFEARRAY* NewArray(VARTYPE type, size_t count) {
  SAFEARRAY* array = ::SafeArrayCreateVector(type, 0, static_cast<ULONG>(count));
  if (!array) throw std::bad_alloc();
  return array;
}

// The elements of a new array, which is destroyed when they cannot be reached.
template <class T>
T* AccessData(SAFEARRAY* array) {
  T* data = nullptr;
  HRESULT hr = ::SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  if (FAILED(hr)) {
    ::SafeArrayDestroy(array);
    throw std::runtime_error("an array's elements cannot be reached: " + std::to_string(hr));
  }
  return data;
}

}  // namespace

Variant JsonToVariant(const Json& value) {
  Variant result;
  VARIANT* out = result.get();
  if (value.is_null()) return result;
  if (value.is_string()) return Variant(value.get<std::string>());
  if (value.is_boolean()) {
    out->vt = VT_BOOL;
    out->boolVal = value.get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
  }
  if (value.is_number_integer()) {
    long long number = value.get<long long>();
    if (number >= -2147483648LL && number <= 4294967295LL) {
      out->vt = VT_I4;
      out->lVal = static_cast<LONG>(static_cast<unsigned long long>(number));  // 0x80000000 and up wrap
    } else {
      out->vt = VT_I8;
      out->llVal = number;
    }
    return result;
  }
  if (value.is_number()) {
    out->vt = VT_R8;
    out->dblVal = value.get<double>();
    return result;
  }
  if (value.is_array()) {
    bool all_strings = !value.empty();
    for (const Json& element : value) all_strings = all_strings && element.is_string();
    if (all_strings) {
      std::vector<std::string> texts;
      for (const Json& element : value) texts.push_back(element.get<std::string>());
      return StringArray(texts);
    }
    std::vector<Variant> elements;
    for (const Json& element : value) elements.push_back(JsonToVariant(element));
    return VariantArray(elements);
  }
  if (value.is_object() && value.contains("vt")) {
    if (value.contains("byRef")) throw std::runtime_error("only a channel variable is given by reference: " + value.dump());
    VARTYPE type = TypeOf(value["vt"]);
    Variant inner = value.contains("value") ? JsonToVariant(value["value"]) : Variant();
    if (type == VT_EMPTY) return Variant();
    if (type == VT_NULL) {
      out->vt = VT_NULL;
      return result;
    }
    HRESULT hr = ::VariantChangeType(out, inner.get(), 0, type);
    if (FAILED(hr)) throw std::runtime_error("cannot convert " + value.dump());
    return result;
  }
  throw std::runtime_error("no variant for " + value.dump());
}

size_t ByReferenceSize(VARTYPE type) {
  switch (type) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    default: return 0;
  }
}

Variant StringArray(const std::vector<std::string>& texts) {
  SAFEARRAY* array = NewArray(VT_BSTR, texts.size());
  BSTR* data = AccessData<BSTR>(array);
  for (size_t i = 0; i < texts.size(); ++i) data[i] = Bstr(texts[i]).Detach();
  ::SafeArrayUnaccessData(array);
  Variant result;
  result.get()->vt = VT_ARRAY | VT_BSTR;
  result.get()->parray = array;
  return result;
}

Variant LongArray(const std::vector<long>& numbers) {
  SAFEARRAY* array = NewArray(VT_I4, numbers.size());
  LONG* data = AccessData<LONG>(array);
  for (size_t i = 0; i < numbers.size(); ++i) data[i] = numbers[i];
  ::SafeArrayUnaccessData(array);
  Variant result;
  result.get()->vt = VT_ARRAY | VT_I4;
  result.get()->parray = array;
  return result;
}

Variant VariantArray(const std::vector<Variant>& elements) {
  SAFEARRAY* array = NewArray(VT_VARIANT, elements.size());
  VARIANT* data = AccessData<VARIANT>(array);
  for (size_t i = 0; i < elements.size(); ++i) {
    ::VariantCopy(&data[i], const_cast<VARIANT*>(elements[i].get()));
  }
  ::SafeArrayUnaccessData(array);
  Variant result;
  result.get()->vt = VT_ARRAY | VT_VARIANT;
  result.get()->parray = array;
  return result;
}

std::vector<Variant> ElementsOf(const VARIANT& value) {
  const VARIANT* source = &value;
  if (source->vt == (VT_BYREF | VT_VARIANT)) source = source->pvarVal;
  if (!(source->vt & VT_ARRAY)) throw std::invalid_argument("not an array");
  SAFEARRAY* array = (source->vt & VT_BYREF) ? *source->pparray : source->parray;
  if (!array || ::SafeArrayGetDim(array) != 1) throw std::invalid_argument("not a one-dimensional array");
  VARTYPE element_type = source->vt & VT_TYPEMASK;
  LONG low = 0, high = -1;
  ::SafeArrayGetLBound(array, 1, &low);
  ::SafeArrayGetUBound(array, 1, &high);
  std::vector<Variant> elements;
  for (LONG i = low; i <= high; ++i) {
    Variant element;
    HRESULT hr;
    if (element_type == VT_VARIANT) {
      hr = ::SafeArrayGetElement(array, &i, element.put());
    } else {
      element.get()->vt = element_type;
      hr = ::SafeArrayGetElement(array, &i, &element.get()->lVal);  // the union holds any element
    }
    if (FAILED(hr)) throw std::invalid_argument("an array element cannot be read");
    elements.push_back(element);
  }
  return elements;
}

std::vector<std::string> StringsOf(const VARIANT& value) {
  std::vector<std::string> texts;
  for (const Variant& element : ElementsOf(value)) {
    std::string text;
    if (!element.ToText(text)) throw std::invalid_argument("an element is not text");
    texts.push_back(text);
  }
  return texts;
}

std::vector<long> LongsOf(const VARIANT& value) {
  std::vector<long> numbers;
  for (Variant element : ElementsOf(value)) {
    if (FAILED(::VariantChangeType(element.get(), element.get(), 0, VT_I4)))
      throw std::invalid_argument("an element is not a number");
    numbers.push_back(element.get()->lVal);
  }
  return numbers;
}

Json ParseJson(const std::string& text) {
  try {
    return Json::parse(text);
  } catch (const Json::parse_error& error) {
    throw std::runtime_error(std::string("fixture is not JSON: ") + error.what());
  }
}

}  // namespace standin
