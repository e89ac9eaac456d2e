// The control's hidden notification window: client notifications posted by the handlers, the
// posted completion of the ready state and the load timer are handled here, on the page's
// thread.
#include "chanbind_control.h"
#include "comsupport/boundary.h"
#include "comsupport/this_module.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

namespace {

LRESULT CALLBACK NotificationWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* control = reinterpret_cast<Chanbind*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (control) {
    bool handled = false;
    LRESULT result = 0;
    comsupport::ComBoundary("Chanbind notification window", [&] {
      result = control->HandleWindowMessage(message, wparam, lparam, &handled);
    });
    if (handled) return result;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

bool RegisterWindowClass() {
  WNDCLASSA existing{};
  if (::GetClassInfoA(comsupport::ThisModule(), kNotificationWindowClass, &existing)) return true;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = &NotificationWindowProc;
  window_class.hInstance = comsupport::ThisModule();
  window_class.lpszClassName = kNotificationWindowClass;
  return ::RegisterClassA(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool Chanbind::EnsureWindow() {
  if (window_) return true;
  if (!RegisterWindowClass()) return false;
  HWND window = ::CreateWindowExA(0, kNotificationWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  comsupport::ThisModule(), nullptr);
  if (!window) return false;
  ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  window_.reset(window);
  return true;
}

bool Chanbind::PostNotification(UINT message, std::unique_ptr<Notification> notification) {
  // Nothing happens once the client is no longer held.
  if (!client_ || !EnsureWindow()) return false;
  if (!::PostMessageA(window_.get(), message, 0, reinterpret_cast<LPARAM>(notification.get()))) return false;
  notification.release();
  return true;
}

LRESULT Chanbind::HandleWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  if (message == WM_TIMER && wparam == kLoadTimer) {
    OnLoadTimer();
    return 0;
  }
  if (message == kReadyStateComplete) {
    Fire(DISPID_READYSTATECHANGE, {Variant(static_cast<long>(wparam))});
    return 0;
  }
  if (message < kSetupChanged || message > kStoriesDeleted) {
    *handled = false;
    return 0;
  }
  std::unique_ptr<Notification> notification(reinterpret_cast<Notification*>(lparam));
  if (!notification) return 0;
  // Keep the control alive while a script handler runs inside an event.
  ComPtr<IChanbind3> self(static_cast<IChanbind3*>(this));
  switch (message) {
    case kSetupChanged:
      events_ |= SETUP_EVENT;
      Fire(8, {Variant(notification->events)});
      break;
    case kChannelAdded: {
      if (monitor_ && client_) monitor_->Rebuild(client_.get());
      events_ |= NEW_CHANNEL_EVENT;
      ComPtr<IZorvaneChannel4_2> channel;
      if (notification->channel) notification->channel->QueryInterface(IID_IZorvaneChannel4_2, channel.put_void());
      Variant argument;
      argument.put()->vt = VT_DISPATCH;
      argument.get()->pdispVal = channel.Detach();
      Fire(2, {argument});
      break;
    }
    case kChannelChanged: {
      events_ |= CHANNEL_EVENT;
      ComPtr<IZorvaneChannel4_2> channel;
      if (notification->channel) notification->channel->QueryInterface(IID_IZorvaneChannel4_2, channel.put_void());
      Variant argument;
      argument.put()->vt = VT_DISPATCH;
      argument.get()->pdispVal = channel.Detach();
      Fire(3, {argument, Variant(notification->events)});
      break;
    }
    case kChannelDeleted:
      Fire(4, {Variant(notification->channel_id)});
      OnChannelDeleted(notification->channel_id);
      events_ |= DELETED_CHANNEL_EVENT;
      break;
    case kStoriesAdded:
      OnStoriesAdded(*notification);
      break;
    case kStoriesChanged:
      OnStoriesChanged(*notification);
      break;
    case kStoriesDeleted:
      OnStoriesDeleted(*notification);
      break;
  }
  return 0;
}

}  // namespace chanbind
