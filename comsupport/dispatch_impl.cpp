#include "comsupport/dispatch_impl.h"

namespace comsupport {

HRESULT LoadModuleTypeLibrary(HMODULE module, ITypeLib** library) {
  wchar_t path[MAX_PATH];
  DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(::GetLastError());
  return ::LoadTypeLibEx(path, REGKIND_NONE, library);
}

}  // namespace comsupport
