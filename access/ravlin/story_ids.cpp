#include "story_ids.h"

#include <oleauto.h>

namespace ravlin {

namespace {

bool IsFourByteInteger(VARTYPE type) {
  return type == VT_I4 || type == VT_UI4 || type == VT_INT || type == VT_UINT;
}

bool ReadArray(SAFEARRAY* array, StoryIds& ids) {
  if (!array || ::SafeArrayGetDim(array) != 1 || ::SafeArrayGetElemsize(array) != 4) return false;
  VARTYPE type = VT_EMPTY;
  if (SUCCEEDED(::SafeArrayGetVartype(array, &type)) && type != VT_EMPTY) {
    if (!IsFourByteInteger(type)) return false;
  } else if (array->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_RECORD)) {
    return false;
  }
  LONG lower = 0, upper = -1;
  if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper))) return false;
  DWORD* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) return false;
  bool complete = true;
  for (LONG i = 0; i <= upper - lower; ++i) {
    if (!ids.list.Add(data[i])) {
      complete = false;
      break;
    }
  }
  ::SafeArrayUnaccessData(array);
  return complete;
}

}  // namespace

bool ReadStoryIds(const VARIANT& input, StoryIds& ids) {
  const VARIANT* value = &input;
  if (value->vt == (VT_BYREF | VT_VARIANT)) {
    if (!value->pvarVal) return false;
    value = value->pvarVal;
  }
  ids.single = false;
  ids.id = 0;
  ids.list.RemoveAll();
  VARTYPE type = value->vt;
  if (type & VT_ARRAY) {
    SAFEARRAY* array = (type & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
    if (!ReadArray(array, ids)) {
      ids.list.RemoveAll();
      return false;
    }
    return true;
  }
  if (!IsFourByteInteger(type & ~VT_BYREF)) return false;
  if (type & VT_BYREF) {
    if (!value->pulVal) return false;
    ids.id = *value->pulVal;
  } else {
    ids.id = value->ulVal;
  }
  ids.single = true;
  return true;
}

}  // namespace ravlin
