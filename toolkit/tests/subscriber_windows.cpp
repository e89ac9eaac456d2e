#include "subscriber_windows.h"

#include "ravlin/data_list.h"

namespace vinnet_tests {

namespace {

const char* const kCodes[] = {
    "CHANNEL_UPDATED",          "CHANNEL_ADDED",          "CHANNEL_DELETED",     "CHANNEL_STATUS_CHANGED",
    "CHANNEL_ATTRIBUTE_CHANGED", "CHANNEL_ACTIVE_STATE_CHANGED", "CHANNEL_FLAGS_CHANGED",
    "CHANNEL_COUNTER_CHANGED",  "STORIES_DELETED",        "STORIES_ATTRIBUTE_CHANGED",
};

const char* CodeOf(UINT message) {
  for (const char* code : kCodes) {
    if (message == ::RegisterWindowMessageA((std::string("REFRESHCODE_") + code).c_str())) return code;
  }
  return nullptr;
}

constexpr char kClassName[] = "VINNET_TEST_SUBSCRIBER";
constexpr UINT kDestroyRequest = WM_APP + 1;

}  // namespace

void DispatchPending() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

SubscriberWindows::SubscriberWindows(const std::vector<std::string>& labels)
    : thread_([this, labels] { Run(labels); }) {
  std::unique_lock<std::mutex> guard(lock_);
  ready_.wait(guard, [&] { return started_; });
}

SubscriberWindows::~SubscriberWindows() {
  ::PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
  thread_.join();
}

void SubscriberWindows::Run(const std::vector<std::string>& labels) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClassName;
  ::RegisterClassA(&window_class);
  for (const std::string& label : labels) {
    HWND window = ::CreateWindowExA(0, kClassName, label.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    windows_[label] = window;
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    thread_id_ = ::GetCurrentThreadId();
    started_ = true;
  }
  ready_.notify_all();
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
  for (auto& [label, window] : windows_) {
    if (::IsWindow(window)) ::DestroyWindow(window);
  }
}

LRESULT CALLBACK SubscriberWindows::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kDestroyRequest) {
    ::DestroyWindow(window);
    return 0;
  }
  auto* self = reinterpret_cast<SubscriberWindows*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  const char* code = message >= 0xC000 ? CodeOf(message) : nullptr;
  if (!self || !code) return ::DefWindowProcA(window, message, wparam, lparam);
  char label[64] = "";
  ::GetWindowTextA(window, label, sizeof label);
  std::string line = std::string(label) + " " + code + " " + std::to_string(static_cast<DWORD>(wparam)) + " ";
  if (std::string(code).rfind("STORIES_", 0) == 0) {
    const DATA_LIST* ids = reinterpret_cast<const DATA_LIST*>(lparam);
    line += "[";
    for (long i = 0; ids && i < ids->GetCount(); ++i) line += (i ? "," : "") + std::to_string(ids->GetAt(i));
    line += "]";
  } else {
    line += std::to_string(static_cast<DWORD>(lparam));
  }
  std::lock_guard<std::mutex> guard(self->lock_);
  self->lines_.push_back(line);
  return 0;
}

void SubscriberWindows::Destroy(const std::string& label) {
  ::SendMessageA(Window(label), kDestroyRequest, 0, 0);
}

std::vector<std::string> SubscriberWindows::Wait(size_t count, DWORD timeout_ms) {
  const DWORD began = ::GetTickCount();
  for (;;) {
    DispatchPending();
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (lines_.size() >= count || ::GetTickCount() - began > timeout_ms) {
        std::vector<std::string> taken;
        taken.swap(lines_);
        return taken;
      }
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::vector<std::string> SubscriberWindows::Take() {
  DispatchPending();
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> taken;
  taken.swap(lines_);
  return taken;
}

}  // namespace vinnet_tests
