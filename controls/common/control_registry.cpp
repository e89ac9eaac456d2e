#include "controls/control_registry.h"

#include <algorithm>
#include <vector>

#include "comsupport/boundary.h"
#include "comsupport/critical_section.h"
#include "controls/control_base.h"
#include "ravlin/ravlin.h"

namespace controls {

namespace {

struct Entry {
  ControlBase* control;
  HWND window;
};

// The module's shared state: one list and its lock, and whether the callback is registered.
comsupport::CriticalSection registry_lock;
std::vector<Entry> registry;
bool callback_registered = false;

void NotificationCallback(ZRNOTIFICATION_TYPES kind, const char*, DWORD, const char*, DWORD, DWORD, DWORD) {
  if (kind != ZRNOTIFY_CLIENT_SHUTDOWN) return;
  comsupport::Boundary("control notification callback", 0, [] {
    comsupport::CriticalSectionGuard guard(registry_lock);
    for (const Entry& entry : registry) {
      if (entry.window && ::IsWindow(entry.window)) ::PostMessageA(entry.window, kClientShutdownMessage, 0, 0);
    }
    if (callback_registered) {
      ::ZRUnRegisterNotificationCallback(&NotificationCallback);
      callback_registered = false;
    }
    registry.clear();
    return 0;
  });
}

std::vector<Entry>::iterator Find(ControlBase* control) {
  return std::find_if(registry.begin(), registry.end(), [control](const Entry& entry) { return entry.control == control; });
}

}  // namespace

void RegisterControl(ControlBase* control, HWND window) {
  comsupport::CriticalSectionGuard guard(registry_lock);
  auto found = Find(control);
  if (found != registry.end()) {
    found->window = window;
    return;
  }
  registry.push_back({control, window});
  if (registry.size() == 1 && !callback_registered) {
    callback_registered = ::ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, &NotificationCallback) != 0;
  }
}

void ForgetControlWindow(ControlBase* control) {
  comsupport::CriticalSectionGuard guard(registry_lock);
  auto found = Find(control);
  if (found != registry.end()) found->window = nullptr;
}

void RemoveControl(ControlBase* control) {
  comsupport::CriticalSectionGuard guard(registry_lock);
  auto found = Find(control);
  if (found != registry.end()) registry.erase(found);
  // No callback may outlive the last control: the module can be unloaded after it.
  if (registry.empty() && callback_registered) {
    ::ZRUnRegisterNotificationCallback(&NotificationCallback);
    callback_registered = false;
  }
}

size_t RegisteredControlCount() {
  comsupport::CriticalSectionGuard guard(registry_lock);
  return registry.size();
}

}  // namespace controls
