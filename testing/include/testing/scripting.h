// Driving a hosted control as a page script or a host does: calling members of its IDispatch
// by name, and pumping this thread's messages while it works.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "comsupport/bstr.h"

namespace testing_support {

// Pumps this thread's messages; with ms, for that long.
void PumpMessages(DWORD ms = 0);

// Invokes the member name with the arguments in declaration order; a property put passes its
// value as the one argument.
HRESULT InvokeByName(IDispatch* object, const char* name, WORD flags, std::vector<comsupport::Variant> arguments,
                     VARIANT* result);

}  // namespace testing_support
