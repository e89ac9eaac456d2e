// A thread of the module's own that runs a job after a first interval and then after every
// further interval, in a COM apartment of its own, until it is stopped or the job asks to end.
// An object given to Start is marshaled into the thread's apartment for the job.
//
// Stopping never kills the thread, so it cannot die holding a lock or inside a call: Stop
// sets the stop event, closes any message box the job is showing, and waits for the thread
// while the calling apartment goes on serving COM calls (the job may be calling into it).
// When Stop returns the thread has ended.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>

#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"

namespace comsupport {

class WorkerThread {
 public:
  // carried: the object given to Start, usable on the thread (null if there was none or it
  // could not be unmarshaled). Returns false to end the thread. What it throws ends it too.
  using Job = std::function<bool(IUnknown* carried)>;

  struct Schedule {
    DWORD first_interval_ms = 0;
    DWORD next_interval_ms = 0;
    DWORD apartment = COINIT_MULTITHREADED;  // a multithreaded one waits without pumping messages
  };

  WorkerThread() = default;
  ~WorkerThread() { Stop(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts the thread, stopping one that still runs first. carried (of interface iid, may be
  // null) is marshaled to the thread. False when no thread could be started.
  bool Start(REFIID iid, IUnknown* carried, Job job, const Schedule& schedule);
  void Stop();
  bool running() const { return static_cast<bool>(thread_); }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  bool WaitForThread(DWORD timeout_ms) const;

  UniqueHandle thread_;
  DWORD thread_id_ = 0;
  UniqueHandle stop_;
  // Set before the thread starts, then only the thread touches these.
  Job job_;
  IID iid_ = IID_IUnknown;
  ComPtr<IStream> marshaled_;
  Schedule schedule_;
};

}  // namespace comsupport
