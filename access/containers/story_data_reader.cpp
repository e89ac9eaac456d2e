#include "ravlin_containers/story_data_reader.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "comsupport/bstr.h"
#include "ravlin_containers/channel_data_object.h"

namespace ravlin {

namespace {

using comsupport::Variant;

// The array of a VARIANT holding an array (directly or by reference) of the given element type;
// VT_EMPTY accepts any element type.
SAFEARRAY* ArrayOf(const VARIANT& value, VARTYPE element = VT_EMPTY) {
  if (!(value.vt & VT_ARRAY)) return nullptr;
  if (element != VT_EMPTY && (value.vt & VT_TYPEMASK) != element) return nullptr;
  if (value.vt & VT_BYREF) return value.pparray ? *value.pparray : nullptr;
  return value.parray;
}

// The size of one element of the types read here; 0 for the others.
ULONG ElementSize(VARTYPE type) {
  switch (type) {
    case VT_VARIANT: return sizeof(VARIANT);
    case VT_BSTR: return sizeof(BSTR);
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_R8: case VT_DATE: case VT_CY: return 8;
    default: return 0;
  }
}

// The elements of a one-dimensional array, read in place while the array is locked. An array
// whose element size does not match its type is not read at all: it would be read past its
// cells, or past the VARIANT an element is copied into.
class ArrayReader {
 public:
  explicit ArrayReader(SAFEARRAY* array) {
    LONG upper = 0;
    if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &type_)) ||
        ElementSize(type_) == 0 || ::SafeArrayGetElemsize(array) != ElementSize(type_) ||
        FAILED(::SafeArrayGetLBound(array, 1, &lower_)) || FAILED(::SafeArrayGetUBound(array, 1, &upper)))
      return;
    long long count = upper >= lower_ ? static_cast<long long>(upper) - lower_ + 1 : 0;
    if (count > LONG_MAX || (count > 0 && !array->pvData) || FAILED(::SafeArrayLock(array))) return;
    array_ = array;
    count_ = static_cast<long>(count);
  }
  ArrayReader(const ArrayReader&) = delete;
  ArrayReader& operator=(const ArrayReader&) = delete;
  ~ArrayReader() {
    if (array_) ::SafeArrayUnlock(array_);
  }

  bool valid() const { return array_ != nullptr; }
  VARTYPE type() const { return type_; }
  long count() const { return count_; }

  // An element of an array of VARIANTs, by reference resolved; null otherwise.
  const VARIANT* Element(long index) const {
    if (type_ != VT_VARIANT) return nullptr;
    const VARIANT* value = static_cast<const VARIANT*>(Cell(index));
    if (value && value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
    return value;
  }

  // Any element as a VARIANT of its own.
  bool Get(long index, Variant& element) const {
    const void* cell = Cell(index);
    if (!cell) return false;
    if (type_ == VT_VARIANT) {
      const VARIANT* value = Element(index);
      return value && SUCCEEDED(::VariantCopyInd(element.put(), const_cast<VARIANT*>(value)));
    }
    VARIANT* out = element.put();
    if (type_ == VT_BSTR) {
      // Copied here rather than by SafeArrayGetElement, which shares the string when the
      // array lacks FADF_BSTR.
      BSTR text = *static_cast<const BSTR*>(cell);
      out->bstrVal = text ? ::SysAllocStringByteLen(reinterpret_cast<const char*>(text), ::SysStringByteLen(text))
                          : nullptr;
      if (text && !out->bstrVal) return false;
    } else {
      // Plain values fit in the VARIANT's value union.
      std::memset(&out->cyVal, 0, sizeof out->cyVal);
      std::memcpy(&out->cyVal, cell, ElementSize(type_));
    }
    out->vt = type_;
    return true;
  }

 private:
  const void* Cell(long index) const {
    if (!array_ || index < 0 || index >= count_) return nullptr;
    LONG at = lower_ + index;
    void* cell = nullptr;
    if (FAILED(::SafeArrayPtrOfIndex(array_, &at, &cell))) return nullptr;
    return cell;
  }

  SAFEARRAY* array_ = nullptr;
  VARTYPE type_ = VT_EMPTY;
  LONG lower_ = 0;
  long count_ = 0;
};

bool TextOf(const Variant& value, std::string& text) {
  switch (value.type()) {
    case VT_NULL:
      text.clear();
      return true;
    case VT_BOOL:
      // Flags such as "Read" and "Keep" are 1 or 0 everywhere else in the suite.
      text = value.get()->boolVal ? "1" : "0";
      return true;
    default:
      return value.ToText(text);
  }
}

bool StoryIdOf(const Variant& value, DWORD& story_id) {
  VARIANT& v = *const_cast<VARIANT*>(value.get());
  switch (v.vt) {
    case VT_I4: case VT_INT: story_id = static_cast<DWORD>(v.lVal); return true;
    case VT_UI4: case VT_UINT: story_id = v.ulVal; return true;
    default: break;
  }
  Variant converted;
  if (SUCCEEDED(::VariantChangeType(converted.put(), &v, 0, VT_UI4))) {
    story_id = converted.get()->ulVal;
    return true;
  }
  if (SUCCEEDED(::VariantChangeType(converted.put(), &v, 0, VT_I4))) {
    story_id = static_cast<DWORD>(converted.get()->lVal);
    return true;
  }
  return false;
}

// The inner arrays of part `part` of the answer, when that part is an array of VARIANTs
// holding at least `wanted` arrays.
bool InnerArrays(const ArrayReader& outer, long part, long wanted, SAFEARRAY* inner[3]) {
  const VARIANT* element = outer.Element(part);
  if (!element) return false;
  ArrayReader part_reader(ArrayOf(*element, VT_VARIANT));
  if (!part_reader.valid() || part_reader.type() != VT_VARIANT || part_reader.count() < wanted) return false;
  for (long i = 0; i < wanted; ++i) {
    const VARIANT* array = part_reader.Element(i);
    inner[i] = array ? ArrayOf(*array) : nullptr;
    if (!inner[i]) return false;
  }
  return true;
}

// Parallel arrays are read up to the shortest.
long ShortestCount(const ArrayReader* const* readers, int n) {
  long shortest = LONG_MAX;
  for (int i = 0; i < n; ++i) {
    if (!readers[i]->valid()) return 0;
    if (readers[i]->count() < shortest) shortest = readers[i]->count();
  }
  return shortest;
}

void ReadInfo(ChannelData& data, const ArrayReader& outer) {
  SAFEARRAY* arrays[3] = {};
  if (!InnerArrays(outer, 0, 2, arrays)) return;
  ArrayReader names(arrays[0]), values(arrays[1]);
  const ArrayReader* readers[] = {&names, &values};
  for (long i = 0, n = ShortestCount(readers, 2); i < n; ++i) {
    Variant name, value;
    std::string name_text, value_text;
    if (names.Get(i, name) && values.Get(i, value) && TextOf(name, name_text) && TextOf(value, value_text))
      data.SetInfoValue(name_text.c_str(), value_text.c_str());
  }
}

// Parts 1 (fields) and 2 (attributes): story ids, names and values in parallel arrays.
void ReadStoryValues(ChannelData& data, const ArrayReader& outer, long part, bool fields) {
  SAFEARRAY* arrays[3] = {};
  if (!InnerArrays(outer, part, 3, arrays)) return;
  ArrayReader ids(arrays[0]), names(arrays[1]), values(arrays[2]);
  const ArrayReader* readers[] = {&ids, &names, &values};
  ChannelDataRecord* current = nullptr;
  bool have_previous = false;
  DWORD previous = 0;
  for (long i = 0, n = ShortestCount(readers, 3); i < n; ++i) {
    Variant id, name, value;
    DWORD story_id = 0;
    std::string name_text, value_text;
    if (!ids.Get(i, id) || !StoryIdOf(id, story_id) || !names.Get(i, name) || !values.Get(i, value) ||
        !TextOf(name, name_text) || !TextOf(value, value_text))
      continue;
    if (!have_previous || story_id != previous) {
      // A story whose entries come back after another story's continues its own record.
      current = data.FindRecord(story_id);
      if (!current && fields) current = data.AddRecord(story_id);
      previous = story_id;
      have_previous = true;
    }
    if (!current) continue;
    if (fields) current->SetField(name_text.c_str(), value_text.c_str());
    else current->SetAttribute(name_text.c_str(), value_text.c_str());
  }
}

}  // namespace

ICHANNELDATA2* ReadStoryData(const VARIANT& answer) {
  ArrayReader outer(ArrayOf(answer, VT_VARIANT));
  if (!outer.valid() || outer.type() != VT_VARIANT) return nullptr;
  ChannelData* data = ChannelData::Create();
  if (!data) return nullptr;
  try {
    ReadInfo(*data, outer);
    ReadStoryValues(*data, outer, 1, true);
    ReadStoryValues(*data, outer, 2, false);
  } catch (const std::bad_alloc&) {
    data->Release();
    return nullptr;
  }
  return data;
}

}  // namespace ravlin
