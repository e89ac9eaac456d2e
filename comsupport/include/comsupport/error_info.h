// Rich error information for scripts and other callers of a COM method: the description of a
// failure, set with SetErrorInfo, and ISupportErrorInfo's answer for the interfaces that set it.
//
//   STDMETHODIMP Thing::Open() {
//     if (...) return comsupport::ReportError(E_ACCESSDENIED, IID_IThing, IDS_NOT_ALLOWED, "Thing.1");
//   }
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>

namespace comsupport {

// Sets the thread's error information (description, the interface that failed, source) and
// returns hr, so that a method can end with it.
HRESULT ReportError(HRESULT hr, REFIID iid, const std::string& description, const std::string& source = {});
// The description is string resource string_id of this module (its number when there is none).
HRESULT ReportError(HRESULT hr, REFIID iid, UINT string_id, const std::string& source = {});

// String resource id of module (this module for nullptr); empty when there is none.
std::string LoadResourceString(UINT string_id, HMODULE module = nullptr);

// For ISupportErrorInfo::InterfaceSupportsErrorInfo: S_OK for the listed interfaces.
HRESULT ErrorInfoSupported(REFIID iid, std::initializer_list<const IID*> supported);

}  // namespace comsupport
