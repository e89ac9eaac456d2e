// Safe arrays between the client's typed form (one-dimensional arrays of a scalar type) and
// the array of VARIANT that VBScript and JScript can index.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace chanbind {

// E_INVALIDARG for anything but a one-dimensional array.
HRESULT TypedToVariantArray(const VARIANT& typed, VARIANT* result);
// Elements keep their own types when they differ; an array of one type becomes that type's array.
HRESULT VariantToTypedArray(const VARIANT& variants, VARIANT* result);

}  // namespace chanbind
