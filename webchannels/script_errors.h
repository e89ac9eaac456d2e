// The component's failures as the page's script sees them: an HRESULT with rich error
// information whose description comes from the module's string table.
#pragma once

#include <windows.h>

#include "comsupport/boundary.h"
#include "comsupport/com_error.h"

#include <utility>

namespace chanbind {

// The HRESULT that goes with string id (109-120).
HRESULT HresultOfString(UINT string_id);

// Throws the error of string id.
[[noreturn]] void Raise(UINT string_id);

// Sets the thread's error information for a caught ComError (its description) and returns its
// HRESULT; anything else becomes E_FAIL/E_OUTOFMEMORY without information.
HRESULT ReportCaught(const char* where) noexcept;

// A COM method's boundary whose failures reach the script with their description.
template <class Body>
HRESULT ScriptBoundary(const char* where, Body&& body) noexcept {
  return comsupport::ComBoundaryReporting(where, ReportCaught, std::forward<Body>(body));
}

}  // namespace chanbind
