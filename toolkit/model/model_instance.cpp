// GetCServices, ReleaseCServices and DestroyCServices: the model made on first use and lent
// under the model lock.
#include "model_instance.h"

#include <new>

#include "comsupport/boundary.h"
#include "comsupport/scope_exit.h"
#include "vinnet/services.h"

namespace {

comsupport::CriticalSection model_lock;
CServices* model = nullptr;
// How many GetCServices of this thread still wait for their ReleaseCServices, so that an
// unpaired release cannot leave a lock this thread does not hold.
thread_local int lends_on_this_thread = 0;

}  // namespace

namespace vinnet {

comsupport::CriticalSection& ModelLock() { return model_lock; }

}  // namespace vinnet

CServices* GetCServices() {
  return comsupport::Boundary("GetCServices", static_cast<CServices*>(nullptr), [] {
    model_lock.Enter();
    auto leave = comsupport::MakeScopeExit([] { model_lock.Leave(); });
    if (!model) {
      auto made = new (std::nothrow) CServices;
      if (!made) return static_cast<CServices*>(nullptr);
      model = made;
      model->Initialize(0);
    }
    ++lends_on_this_thread;
    leave.Dismiss();
    return model;
  });
}

void ReleaseCServices(CServices* services) {
  if (!services || lends_on_this_thread <= 0) return;
  --lends_on_this_thread;
  model_lock.Leave();
}

void DestroyCServices() {
  comsupport::Boundary("DestroyCServices", 0, [] {
    comsupport::CriticalSectionGuard guard(model_lock);
    delete model;
    model = nullptr;
    return 0;
  });
}
