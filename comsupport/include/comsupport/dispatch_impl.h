// IDispatch for one dual interface, from its type information. The object supplies the type
// library once (LoadTypeLibrary); each DispatchImpl<I> base takes I's ITypeInfo from it on
// first use. An object with several dual interfaces derives from DispatchImpl of each.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "comsupport/com_ptr.h"

namespace comsupport {

template <class Interface>
class DispatchImpl : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    *info = type_info_.get();
    (*info)->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return ::DispGetIDsOfNames(type_info_.get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override {
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return ::DispInvoke(static_cast<Interface*>(this), type_info_.get(), id, flags, params,
                        result, exception, argument_error);
  }

 protected:
  virtual ~DispatchImpl() = default;
  // The type library that declares Interface, with one reference for the caller.
  virtual HRESULT LoadTypeLibrary(ITypeLib** library) = 0;

 private:
  HRESULT EnsureTypeInfo() {
    if (type_info_) return S_OK;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibrary(library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(__uuidof(Interface), type_info_.put());
  }

  ComPtr<ITypeInfo> type_info_;
};

// The type library registered under libid, for LoadTypeLibrary.
inline HRESULT LoadRegisteredTypeLibrary(REFGUID libid, WORD major, WORD minor,
                                         ITypeLib** library) {
  return ::LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, library);
}

// The type library embedded in module (resource TYPELIB 1), for LoadTypeLibrary.
HRESULT LoadModuleTypeLibrary(HMODULE module, ITypeLib** library);

}  // namespace comsupport
