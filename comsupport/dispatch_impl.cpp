#include "comsupport/dispatch_impl.h"

#include "comsupport/this_module.h"

namespace comsupport {

HRESULT LoadModuleTypeLibrary(HMODULE module, ITypeLib** library) {
  wchar_t path[MAX_PATH];
  DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(::GetLastError());
  return ::LoadTypeLibEx(path, REGKIND_NONE, library);
}

HRESULT LoadTypeLibraryOf(REFGUID libid, WORD major, WORD minor, ITypeLib** library) {
  if (!library) return E_POINTER;
  *library = nullptr;
  HRESULT registered = ::LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, library);
  if (SUCCEEDED(registered)) return registered;
  // Before registration (or after a failed one) the module's own library still serves.
  ComPtr<ITypeLib> embedded;
  if (FAILED(LoadModuleTypeLibrary(ThisModule(), embedded.put()))) return registered;
  TLIBATTR* attributes = nullptr;
  if (FAILED(embedded->GetLibAttr(&attributes))) return registered;
  const bool same = IsEqualGUID(attributes->guid, libid) && attributes->wMajorVerNum == major;
  embedded->ReleaseTLibAttr(attributes);
  if (!same) return registered;
  *library = embedded.Detach();
  return S_OK;
}

}  // namespace comsupport
