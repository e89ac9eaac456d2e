// A thread that runs a job after a first interval and then after every further interval,
// until it is stopped or the job asks to end.
//
// Stopping never kills the thread, so it cannot die holding a lock or inside a call: Stop
// asks it to end, closes any message box the job is showing, and waits for the thread while
// the calling apartment goes on serving COM calls (the job may be calling into it).
// When Stop returns the thread has ended.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>

#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"

namespace hookwell {

class WatchThread {
 public:
  // carried: the object given to Start, usable on the thread (null if there was none or it
  // could not be unmarshaled). Returns false to end the thread.
  using Job = std::function<bool(IUnknown* carried)>;

  WatchThread() = default;
  ~WatchThread() { Stop(); }
  WatchThread(const WatchThread&) = delete;
  WatchThread& operator=(const WatchThread&) = delete;

  // Starts the thread, stopping one that still runs first. carried (its interface iid, may be
  // null) is marshaled to the thread's own apartment. False when no thread could be started.
  bool Start(REFIID iid, IUnknown* carried, Job job, DWORD first_interval_ms, DWORD next_interval_ms);
  void Stop();
  bool running() const { return static_cast<bool>(thread_); }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  bool WaitForThread(DWORD timeout_ms) const;

  comsupport::UniqueHandle thread_;
  DWORD thread_id_ = 0;
  comsupport::UniqueHandle stop_;
  // Set before the thread starts, then only the thread touches these.
  Job job_;
  IID iid_ = IID_IUnknown;
  comsupport::ComPtr<IStream> marshaled_;
  DWORD first_interval_ms_ = 0;
  DWORD next_interval_ms_ = 0;
};

}  // namespace hookwell
