// Runs code that shows a message box on a thread of its own, so that a test can read and press
// the box. A box still open when the thread is joined (a failed press) is closed, so a failing
// test ends instead of waiting for ever.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace testing_support {

class BoxThread {
 public:
  BoxThread(std::string caption, std::function<void()> show)
      : caption_(std::move(caption)), thread_([this, show = std::move(show)] {
          show();
          done_ = true;
        }) {}
  ~BoxThread() { Join(); }
  BoxThread(const BoxThread&) = delete;
  BoxThread& operator=(const BoxThread&) = delete;

  bool done() const { return done_; }
  void Join() {
    if (!thread_.joinable()) return;
    while (!done_) {
      ::Sleep(200);
      if (HWND box = ::FindWindowA("#32770", caption_.c_str())) ::PostMessageA(box, WM_CLOSE, 0, 0);
    }
    thread_.join();
  }

 private:
  std::string caption_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace testing_support
