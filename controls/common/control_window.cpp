// The control's window and the shared frame around it: attaching to the access library and
// the channel model when the window is made, the control registry, the client's shutdown, and
// releasing the libraries at most once.
#include "controls/control_base.h"

#include "comsupport/boundary.h"
#include "comsupport/this_module.h"
#include "controls/control_registry.h"
#include "ravlin/ravlin.h"
#include "vinnet/services.h"

namespace controls {

namespace {

constexpr char kWindowClass[] = "HalvernControlWindow";

// The class belongs to this module: registered for each first window and dropped with the
// last, so that no class outlives an unloaded module.
bool EnsureWindowClass(WNDPROC procedure) {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(comsupport::ThisModule(), kWindowClass, &existing)) return true;
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = comsupport::ThisModule();
  window_class.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = kWindowClass;
  return ::RegisterClassExA(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool ControlBase::CreateWindowFrame(HWND host, const RECT& place) {
  if (!EnsureWindowClass(&ControlBase::WindowProc)) return false;
  HWND window = ::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, host, nullptr,
                                  comsupport::ThisModule(), this);
  return window != nullptr;
}

LRESULT CALLBACK ControlBase::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<ControlBase*>(create->lpCreateParams)->window_ = window;
  }
  auto* control = reinterpret_cast<ControlBase*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!control) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = comsupport::Boundary("control window", LRESULT{0}, [&] {
    return control->HandleMessage(message, wparam, lparam);
  });
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    control->window_ = nullptr;
    // Fails while another control of the module keeps a window.
    ::UnregisterClassA(kWindowClass, comsupport::ThisModule());
  }
  return result;
}

LRESULT ControlBase::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return AttachWindow() ? 0 : -1;
    case WM_DESTROY: {
      bool handled = false;
      OnMessage(message, wparam, lparam, handled);
      DetachWindow();
      return 0;
    }
    case kClientShutdownMessage:
      ReleaseLibraries(ReleaseReason::kShutdown);
      return 0;
    default:
      break;
  }
  bool handled = false;
  LRESULT result = OnMessage(message, wparam, lparam, handled);
  if (handled) return result;
  if (message == WM_ERASEBKGND) {
    RECT client;
    ::GetClientRect(window_, &client);
    ::FillRect(reinterpret_cast<HDC>(wparam), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return ::DefWindowProcA(window_, message, wparam, lparam);
}

bool ControlBase::AttachWindow() {
  if (!libraries_attached_) {
    // Only a start that succeeded is ended again: the library counts its users.
    ravlin_started_ = ::RavlinInitialize(1) != 0;
    ::Vinnet_Initialize();
    libraries_attached_ = true;
  }
  RegisterControl(this, window_);
  ::CServicesSubscribeNotifications(window_);
  return OnCreateWindow();
}

void ControlBase::DetachWindow() {
  ::CServicesUnsubscribeNotifications(window_);
  ForgetControlWindow(this);
}

void ControlBase::ReleaseLibraries(ReleaseReason reason) {
  if (reason != ReleaseReason::kShutdown) RemoveControl(this);
  if (!libraries_attached_) return;
  libraries_attached_ = false;
  if (reason == ReleaseReason::kShutdown) OnLibrariesLost();
  if (window_) ::CServicesUnsubscribeNotifications(window_);
  ::Vinnet_Uninitialize();
  if (ravlin_started_) ::RavlinDeinitialize();
  ravlin_started_ = false;
}

void ControlBase::Terminate() { ReleaseLibraries(ReleaseReason::kTerminate); }

void ControlBase::ShowAboutBox() {
  struct Dialog {
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
      if (message == WM_INITDIALOG) return TRUE;
      if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    }
  };
  HWND owner = window_;
  if (!owner && in_place_site_) in_place_site_->GetWindow(&owner);
  ::DialogBoxParamA(comsupport::ThisModule(), MAKEINTRESOURCEA(class_.about_dialog), owner, &Dialog::Procedure, 0);
}

}  // namespace controls
