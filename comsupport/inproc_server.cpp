#include "comsupport/inproc_server.h"

#include "comsupport/apartment.h"
#include "comsupport/boundary.h"
#include "comsupport/module_lock.h"
#include "comsupport/this_module.h"
#include "comsupport/type_library_registration.h"

namespace comsupport {

HRESULT ServerGetClassObject(const InprocServer& server, REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ServerClass& served : server.classes) {
    if (!IsEqualCLSID(*served.clsid, clsid)) continue;
    return ComBoundary("DllGetClassObject", [&] {
      ComPtr<IClassFactory> factory = ComPtr<IClassFactory>::Attach(new FunctionClassFactory(served.create));
      return factory->QueryInterface(iid, out);
    });
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow() { return ModuleLock::Count() == 0 ? S_OK : S_FALSE; }

HRESULT ServerRegister(const InprocServer& server) {
  return ComBoundary("DllRegisterServer", [&] {
    // The registrar is a COM object: registration may come from a thread without an apartment.
    const ApartmentGuard apartment;
    const std::string path = ModulePath(ThisModule());
    if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    if (server.registry_script) {
      HRESULT hr = RunRegistryScript(path, server.registry_script, true, server.replacements);
      if (FAILED(hr)) return hr;
    }
    return RegisterTypeLibrary(path, server.foreign_interfaces);
  });
}

HRESULT ServerUnregister(const InprocServer& server) {
  HRESULT hr = ComBoundary("DllUnregisterServer", [&] {
    const ApartmentGuard apartment;
    const std::string path = ModulePath(ThisModule());
    if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    HRESULT script =
        server.registry_script ? RunRegistryScript(path, server.registry_script, false, server.replacements) : S_OK;
    HRESULT library = server.keep_type_library ? S_OK : UnregisterTypeLibrary(path, server.foreign_interfaces);
    return FAILED(script) ? script : library;
  });
  return server.unregister_always_succeeds ? S_OK : hr;
}

}  // namespace comsupport
