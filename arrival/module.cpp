// The four exports of the in-process server.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "client_ext.h"
#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "comsupport/module_lock.h"
#include "comsupport/registrar.h"
#include "hookwell.h"

namespace {

constexpr UINT kRegistryScriptId = 101;

HMODULE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

HRESULT RegisterTypeLibrary(const std::string& module_path) {
  std::wstring path = comsupport::ToWide(module_path);
  comsupport::ComPtr<ITypeLib> library;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) return hr;
  return ::RegisterTypeLib(library.get(), &path[0], nullptr);
}

// The registrar is a COM object: registration may come from a thread without an apartment.
class ApartmentForCall {
 public:
  ApartmentForCall() : initialised_(::CoInitialize(nullptr)) {}
  ~ApartmentForCall() {
    if (SUCCEEDED(initialised_)) ::CoUninitialize();
  }
  ApartmentForCall(const ApartmentForCall&) = delete;
  ApartmentForCall& operator=(const ApartmentForCall&) = delete;

 private:
  HRESULT initialised_;
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_ClientExt) return CLASS_E_CLASSNOTAVAILABLE;
  try {
    comsupport::ComPtr<IClassFactory> factory =
        comsupport::ComPtr<IClassFactory>::Attach(new hookwell::ClientExtFactory());
    return factory->QueryInterface(iid, out);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return comsupport::ModuleLock::Count() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  ApartmentForCall apartment;
  const std::string module_path = comsupport::ModulePath(ThisModule());
  if (module_path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  HRESULT hr = comsupport::RunRegistryScript(module_path, kRegistryScriptId, true);
  if (FAILED(hr)) return hr;
  return RegisterTypeLibrary(module_path);
}

// The type library stays registered: other modules may use it.
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  ApartmentForCall apartment;
  comsupport::RunRegistryScript(comsupport::ModulePath(ThisModule()), kRegistryScriptId, false);
  return S_OK;
}
