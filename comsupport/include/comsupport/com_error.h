// A failed COM call as an exception: the HRESULT, the interface that failed and the callee's
// error description (from IErrorInfo, when it set one).
#pragma once

#include <windows.h>
#include <objbase.h>

#include <stdexcept>
#include <string>

namespace comsupport {

class ComError : public std::runtime_error {
 public:
  ComError(HRESULT hr, const IID& iid, std::string description);

  HRESULT hr() const { return hr_; }
  const IID& iid() const { return iid_; }
  const std::string& description() const { return description_; }

 private:
  HRESULT hr_;
  IID iid_;
  std::string description_;
};

// Throws ComError for a failed hr, picking up the thread's IErrorInfo.
void ThrowIfFailed(HRESULT hr, const IID& iid);

// "0x80004005" style text, and a GUID in registry form.
std::string HresultText(HRESULT hr);
std::string GuidText(const GUID& guid);

}  // namespace comsupport

#define COMSUPPORT_CHECK(Interface, call) ::comsupport::ThrowIfFailed((call), __uuidof(Interface))
