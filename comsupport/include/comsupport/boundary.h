// What happens at every module boundary (COM method, exported function, thread entry): nothing
// thrown crosses it. The exception being handled becomes an HRESULT: a ComError its own,
// std::bad_alloc E_OUTOFMEMORY, anything else E_FAIL; one trace line says where and why.
//
//   STDMETHODIMP Thing::Go() {
//     return comsupport::ComBoundary("Thing::Go", [&] { ...; return S_OK; });
//   }
//   catch (...) { return comsupport::HresultFromCaught("Thing::Go"); }
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

namespace comsupport {

// Call only inside a catch block. Never throws.
HRESULT HresultFromCaught(const char* where) noexcept;

// Runs body (returning HRESULT, or nothing for S_OK); whatever it throws is mapped by report,
// called inside the catch block (for example one that also sets the thread's error information).
template <class Report, class Body>
HRESULT ComBoundaryReporting(const char* where, Report&& report, Body&& body) noexcept {
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      return S_OK;
    } else {
      return body();
    }
  } catch (...) {
    return report(where);
  }
}

// Runs body (returning HRESULT, or nothing for S_OK) and maps whatever it throws.
template <class Body>
HRESULT ComBoundary(const char* where, Body&& body) noexcept {
  return ComBoundaryReporting(where, HresultFromCaught, std::forward<Body>(body));
}

// For exported functions and thread entries whose result is not an HRESULT: failure is what
// the caller sees when body throws.
template <class Result, class Body>
Result Boundary(const char* where, Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    HresultFromCaught(where);
    return failure;
  }
}

}  // namespace comsupport
