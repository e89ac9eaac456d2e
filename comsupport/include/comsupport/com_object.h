// The one way a COM object is written here. A class derives from ComObject<I1, I2...> and
// answers FindInterface with an explicit chain of IID tests; ComObject supplies reference
// counting, QueryInterface (with one diagnostic line for an unknown IID), aggregation and the
// module lock.
//
//   class Thing : public comsupport::ComObject<IThing, IOther> {
//     void* FindInterface(REFIID iid) override {
//       if (iid == IID_IThing) return static_cast<IThing*>(this);
//       ...
//       return nullptr;
//     }
//   };
//   Thing* thing = new Thing();   // one reference, owned by the caller
#pragma once

#include <windows.h>
#include <objbase.h>

#include "comsupport/com_error.h"
#include "comsupport/module_lock.h"

namespace comsupport {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() { ModuleLock::Lock(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return outer_ ? outer_->QueryInterface(iid, out) : InnerQueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return outer_ ? outer_->AddRef() : InnerAddRef();
  }
  STDMETHODIMP_(ULONG) Release() override {
    return outer_ ? outer_->Release() : InnerRelease();
  }

  // Aggregation: the object delegates its IUnknown to outer, and the outer object holds the
  // returned non-delegating IUnknown (with the one reference the creator had).
  IUnknown* Aggregate(IUnknown* outer) {
    outer_ = outer;
    return &inner_;
  }

 protected:
  virtual ~ComObject() { ModuleLock::Unlock(); }

  // The interface pointer for iid, or nullptr. IID_IUnknown must give the object's identity.
  virtual void* FindInterface(REFIID iid) = 0;

  // Called for an IID the object does not know; a class may override it to stay quiet.
  virtual void UnknownInterface(REFIID iid) {
    std::string line = "QueryInterface: no interface " + GuidText(iid) + "\n";
    ::OutputDebugStringA(line.c_str());
  }

 private:
  HRESULT InnerQueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer_ && iid == IID_IUnknown) {
      *out = &inner_;
    } else {
      *out = FindInterface(iid);
    }
    if (!*out) {
      UnknownInterface(iid);
      return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
  }
  ULONG InnerAddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
  ULONG InnerRelease() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  struct NonDelegatingUnknown : IUnknown {
    explicit NonDelegatingUnknown(ComObject* self) : self_(self) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
      return self_->InnerQueryInterface(iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return self_->InnerAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return self_->InnerRelease(); }
    virtual ~NonDelegatingUnknown() = default;
    ComObject* self_;
  };

  volatile LONG references_ = 1;
  IUnknown* outer_ = nullptr;
  NonDelegatingUnknown inner_{this};
};

}  // namespace comsupport
