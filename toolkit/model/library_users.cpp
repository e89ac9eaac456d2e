// Vinnet_Initialize and Vinnet_Uninitialize: the modules that use the library, counted; the
// first makes the model and the refresh window, the last ends both.
#include "comsupport/boundary.h"
#include "comsupport/critical_section.h"
#include "refresh_messages.h"
#include "refresh_window.h"
#include "vinnet/services.h"

namespace {

comsupport::CriticalSection users_lock;
int users = 0;

}  // namespace

int Vinnet_Initialize() {
  return comsupport::Boundary("Vinnet_Initialize", 0, [] {
    comsupport::CriticalSectionGuard guard(users_lock);
    if (users == 0) {
      ReleaseCServices(GetCServices());
      vinnet::RegisterRefreshMessages();
      vinnet::CreateRefreshWindow();
    }
    return ++users;
  });
}

void Vinnet_Uninitialize() {
  comsupport::Boundary("Vinnet_Uninitialize", 0, [] {
    comsupport::CriticalSectionGuard guard(users_lock);
    if (users == 0) return 0;
    if (--users == 0) {
      vinnet::DestroyRefreshWindow();
      DestroyCServices();
    }
    return 0;
  });
}
