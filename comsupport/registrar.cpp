#include "comsupport/registrar.h"

#include <objbase.h>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"

namespace comsupport {

// atl.dll's registrar; mingw ships no declaration of it. Declared with external linkage: in an
// anonymous namespace the compiler would see that no class implements it and drop the calls.
struct IRegistrar : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
};

namespace {

const CLSID kClsidRegistrar = {0x44EC053A, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};
const IID kIidRegistrar = {0x44EC053B, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};

}  // namespace

HRESULT RunRegistryScript(const std::string& module_path, UINT resource_id, bool do_register,
                          const Replacements& replacements) {
  ComPtr<IRegistrar> registrar;
  HRESULT hr = ::CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  registrar.put_void());
  if (FAILED(hr)) return hr;
  std::wstring module = ToWide(module_path);
  hr = registrar->AddReplacement(L"MODULE", module.c_str());
  for (const auto& [key, item] : replacements) {
    if (FAILED(hr)) return hr;
    hr = registrar->AddReplacement(ToWide(key).c_str(), ToWide(item).c_str());
  }
  if (FAILED(hr)) return hr;
  return do_register ? registrar->ResourceRegister(module.c_str(), resource_id, L"REGISTRY")
                     : registrar->ResourceUnregister(module.c_str(), resource_id, L"REGISTRY");
}

}  // namespace comsupport
