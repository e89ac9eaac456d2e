// IEnumVARIANT over a snapshot of values, for _NewEnum.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "comsupport/bstr.h"

namespace chanbind {

// One reference for the caller.
IUnknown* NewVariantEnumerator(std::vector<comsupport::Variant> items);

}  // namespace chanbind
