// A COM apartment for the current thread for as long as the guard lives. Entering may fail
// (RPC_E_CHANGED_MODE when the thread already has another kind): the guard then leaves the
// thread as it was, and hr() says why.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace comsupport {

class ApartmentGuard {
 public:
  explicit ApartmentGuard(DWORD model = COINIT_APARTMENTTHREADED) : hr_(::CoInitializeEx(nullptr, model)) {}
  ~ApartmentGuard() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ApartmentGuard(const ApartmentGuard&) = delete;
  ApartmentGuard& operator=(const ApartmentGuard&) = delete;

  HRESULT hr() const { return hr_; }
  // S_FALSE (the thread had this kind of apartment already) counts as entered.
  bool entered() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

}  // namespace comsupport
