// IProvideClassInfo2 for a control or other object with a coclass and a default event
// interface in type library Libid (registered, else embedded in this module).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"

namespace comsupport {

template <const CLSID* Clsid, const IID* SourceIid, const GUID* Libid, WORD Major = 1, WORD Minor = 0>
class ProvideClassInfo2Impl : public IProvideClassInfo2 {
 public:
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibraryOf(*Libid, Major, Minor, library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(*Clsid, info);
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = *SourceIid;
    return S_OK;
  }

 protected:
  virtual ~ProvideClassInfo2Impl() = default;
};

}  // namespace comsupport
