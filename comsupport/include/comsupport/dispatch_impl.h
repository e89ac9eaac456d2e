// IDispatch for one dual interface, from its type information. DispatchImpl<I, &LIBID_X, 1, 0>
// finds I in library X version 1.0: the registered library, else the one embedded in this
// module (resource TYPELIB 1) when it is X. A class whose library comes from elsewhere leaves
// out the LIBID and overrides LoadTypeLibrary. An object with several dual interfaces derives
// from DispatchImpl of each; each base takes its ITypeInfo on first use.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <type_traits>

#include "comsupport/com_ptr.h"

namespace comsupport {

// The library libid major.minor: registered, else embedded in this module.
HRESULT LoadTypeLibraryOf(REFGUID libid, WORD major, WORD minor, ITypeLib** library);

// The type library embedded in module (resource TYPELIB 1).
HRESULT LoadModuleTypeLibrary(HMODULE module, ITypeLib** library);

template <const GUID* Libid>
struct NamesLibrary : std::true_type {};
template <>
struct NamesLibrary<nullptr> : std::false_type {};

template <class Interface, const GUID* Libid = nullptr, WORD Major = 1, WORD Minor = 0>
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
    return ::DispInvoke(static_cast<Interface*>(this), type_info_.get(), id, flags, params, result, exception,
                        argument_error);
  }

 protected:
  virtual ~DispatchImpl() = default;
  // The type library that declares Interface, with one reference for the caller.
  virtual HRESULT LoadTypeLibrary(ITypeLib** library) {
    if constexpr (NamesLibrary<Libid>::value) {
      return LoadTypeLibraryOf(*Libid, Major, Minor, library);
    } else {
      return TYPE_E_LIBNOTREGISTERED;
    }
  }

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

// As DispatchImpl, for objects that page scripts call: JScript calls a parameterised property as
// a method (story.Value("Title")), which the type information alone refuses.
template <class Interface, const GUID* Libid = nullptr, WORD Major = 1, WORD Minor = 0>
class ScriptDispatchImpl : public DispatchImpl<Interface, Libid, Major, Minor> {
 public:
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override {
    using Dual = DispatchImpl<Interface, Libid, Major, Minor>;
    HRESULT hr = Dual::Invoke(id, iid, lcid, flags, params, result, exception, argument_error);
    if (hr == DISP_E_MEMBERNOTFOUND && flags == DISPATCH_METHOD) {
      hr = Dual::Invoke(id, iid, lcid, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params, result, exception,
                        argument_error);
    }
    return hr;
  }
};

}  // namespace comsupport
