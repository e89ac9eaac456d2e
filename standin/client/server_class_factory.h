// The class object of one of the local server's classes; every instance shares the process's
// client state, which the creator function captures.
#pragma once

#include <functional>

#include "comsupport/boundary.h"
#include "comsupport/com_object.h"

namespace standin {

class ServerClassFactory : public comsupport::ComObject<IClassFactory> {
 public:
  using Creator = std::function<HRESULT(REFIID iid, void** out)>;
  explicit ServerClassFactory(Creator creator) : creator_(std::move(creator)) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return comsupport::ComBoundary("stand-in CreateInstance", [&] { return creator_(iid, out); });
  }
  // The client runs until it is shut down, whoever holds it.
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
  }

 private:
  Creator creator_;
};

}  // namespace standin
