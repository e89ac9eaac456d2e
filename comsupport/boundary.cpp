#include "comsupport/boundary.h"

#include <exception>
#include <new>
#include <string>

#include "comsupport/com_error.h"

namespace comsupport {

HRESULT HresultFromCaught(const char* where) noexcept {
  HRESULT hr = E_FAIL;
  const char* cause = "unknown exception";
  try {
    throw;
  } catch (const ComError& error) {
    hr = error.hr();
    cause = error.what();
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
    cause = "out of memory";
  } catch (const std::exception& error) {
    cause = error.what();
  } catch (...) {
  }
  try {
    const std::string line = std::string(where ? where : "?") + ": " + cause + " (" + HresultText(hr) + ")\n";
    ::OutputDebugStringA(line.c_str());
  } catch (...) {
    ::OutputDebugStringA("comsupport: an exception was caught, and no memory was left to describe it\n");
  }
  return hr;
}

}  // namespace comsupport
