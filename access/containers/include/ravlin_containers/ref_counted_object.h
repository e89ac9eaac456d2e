// The common operations of Ravlin's reference-counted objects, for an implementation class:
// class Foo final : public ravlin::RefCountedObject<IFOO>. The count starts at 1.
#pragma once

#include "comsupport/critical_section.h"
#include "ravlin/ravlin_object.h"

namespace ravlin {

template <class Interface>
class RefCountedObject : public Interface {
 public:
  int QueryInterface(REFIID, void** object) override {
    if (object) *object = nullptr;
    return 0;
  }
  long AddRef() override {
    comsupport::CriticalSectionGuard guard(lock_);
    return ++count_;
  }
  long Release() override {
    {
      comsupport::CriticalSectionGuard guard(lock_);
      if (count_ > 1) return --count_;
      count_ = 0;
    }
    // The lock is a member: leave it before the object goes.
    delete this;
    return 0;
  }
  void Lock() override { lock_.Enter(); }
  void Unlock() override { lock_.Leave(); }

 protected:
  RefCountedObject() = default;
  ~RefCountedObject() override = default;

  comsupport::CriticalSection lock_;

 private:
  long count_ = 1;
};

}  // namespace ravlin
