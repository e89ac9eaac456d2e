// The class factory of one COM class. T must offer
//   static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);
#pragma once

#include "comsupport/com_object.h"

namespace comsupport {

template <class T>
class ClassFactory : public ComObject<IClassFactory> {
 public:
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // An aggregating caller may only ask for the inner IUnknown.
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    try {
      return T::CreateInstance(outer, iid, out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      ModuleLock::Lock();
    } else {
      ModuleLock::Unlock();
    }
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
  }
};

// CreateInstance for a ComObject class that may be aggregated.
template <class T, class... Args>
HRESULT CreateAggregatable(IUnknown* outer, REFIID iid, void** out, Args&&... args) {
  T* object = new T(static_cast<Args&&>(args)...);
  if (outer) {
    *out = object->Aggregate(outer);  // the creator's reference now belongs to the outer object
    return S_OK;
  }
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace comsupport
