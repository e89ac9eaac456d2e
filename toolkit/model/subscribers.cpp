#include "subscribers.h"

#include <algorithm>

#include "comsupport/boundary.h"
#include "comsupport/critical_section.h"
#include "vinnet/services.h"

namespace {

comsupport::CriticalSection subscribers_lock;
std::vector<HWND> subscribers;

}  // namespace

namespace vinnet {

void SendToSubscribers(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!message) return;
  std::vector<HWND> walk;
  {
    comsupport::CriticalSectionGuard guard(subscribers_lock);
    walk = subscribers;
  }
  bool any_gone = false;
  for (auto window = walk.rbegin(); window != walk.rend(); ++window) {
    if (::IsWindow(*window)) {
      ::SendMessageA(*window, message, wparam, lparam);
    } else {
      any_gone = true;
    }
  }
  if (!any_gone) return;
  comsupport::CriticalSectionGuard guard(subscribers_lock);
  subscribers.erase(std::remove_if(subscribers.begin(), subscribers.end(), [](HWND window) { return !::IsWindow(window); }),
                    subscribers.end());
}

std::vector<HWND> Subscribers() {
  comsupport::CriticalSectionGuard guard(subscribers_lock);
  return subscribers;
}

}  // namespace vinnet

void CServicesSubscribeNotifications(HWND window) {
  comsupport::Boundary("CServicesSubscribeNotifications", 0, [&] {
    if (!::IsWindow(window)) return 0;
    comsupport::CriticalSectionGuard guard(subscribers_lock);
    subscribers.push_back(window);
    return 0;
  });
}

void CServicesUnsubscribeNotifications(HWND window) {
  comsupport::CriticalSectionGuard guard(subscribers_lock);
  subscribers.erase(std::remove(subscribers.begin(), subscribers.end(), window), subscribers.end());
}
