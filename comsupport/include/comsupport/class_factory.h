// The class factory of one COM class, made from the class's creation function
//   HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);
// An aggregating caller may only ask for the inner IUnknown; what creation throws becomes an
// HRESULT.
#pragma once

#include "comsupport/boundary.h"
#include "comsupport/com_object.h"

namespace comsupport {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

class FunctionClassFactory : public ComObject<IClassFactory> {
 public:
  explicit FunctionClassFactory(CreateFunction create) : create_(create) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return ComBoundary("IClassFactory::CreateInstance", [&] { return create_(outer, iid, out); });
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

 private:
  CreateFunction create_;
};

// The factory of a class T with a static CreateInstance.
template <class T>
class ClassFactory : public FunctionClassFactory {
 public:
  ClassFactory() : FunctionClassFactory(&T::CreateInstance) {}
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
