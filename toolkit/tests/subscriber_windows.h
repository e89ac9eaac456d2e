// Windows of a thread of their own that write down every refresh message they receive, as a
// line "LABEL NAME channel lparam" ("A STORIES_DELETED 9 [901,902]" for the story lists,
// read while the message is handled; names without "REFRESHCODE_").
#pragma once

#include <windows.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vinnet_tests {

class SubscriberWindows {
 public:
  // One window per label, made on the new thread before the constructor returns.
  explicit SubscriberWindows(const std::vector<std::string>& labels);
  ~SubscriberWindows();
  SubscriberWindows(const SubscriberWindows&) = delete;
  SubscriberWindows& operator=(const SubscriberWindows&) = delete;

  HWND Window(const std::string& label) const { return windows_.at(label); }
  // Destroyed by its own thread; returns once it is gone.
  void Destroy(const std::string& label);
  // Waits, dispatching this thread's messages, until count lines arrived or timeout_ms passed;
  // returns the lines (taken).
  std::vector<std::string> Wait(size_t count, DWORD timeout_ms = 10000);
  // What arrived so far (taken), after dispatching this thread's queued messages.
  std::vector<std::string> Take();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Run(const std::vector<std::string>& labels);

  std::map<std::string, HWND> windows_;
  std::mutex lock_;
  std::condition_variable ready_;
  bool started_ = false;
  DWORD thread_id_ = 0;
  std::vector<std::string> lines_;
  std::thread thread_;
};

// Dispatches the calling thread's queued messages.
void DispatchPending();

}  // namespace vinnet_tests
