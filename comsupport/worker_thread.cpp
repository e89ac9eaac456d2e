#include "comsupport/worker_thread.h"

#include "comsupport/apartment.h"
#include "comsupport/boundary.h"

namespace comsupport {

namespace {

// How often Stop looks again for a box to close while it waits.
constexpr DWORD kStopPollMs = 100;

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
  char class_name[16] = {};
  if (::GetClassNameA(window, class_name, sizeof class_name) && lstrcmpA(class_name, "#32770") == 0)
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

void ReleaseUnused(ComPtr<IStream>& marshaled) {
  if (!marshaled) return;
  // The reference in the stream would otherwise keep the object alive.
  ::CoReleaseMarshalData(marshaled.get());
  marshaled.reset();
}

}  // namespace

bool WorkerThread::Start(REFIID iid, IUnknown* carried, Job job, const Schedule& schedule) {
  Stop();
  job_ = std::move(job);
  iid_ = iid;
  schedule_ = schedule;
  if (carried && FAILED(::CoMarshalInterThreadInterfaceInStream(iid, carried, marshaled_.put()))) {
    marshaled_.reset();
  }
  stop_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (stop_) thread_.reset(::CreateThread(nullptr, 0, &WorkerThread::ThreadMain, this, 0, &thread_id_));
  if (!thread_) {
    ReleaseUnused(marshaled_);
    stop_.reset();
    job_ = nullptr;
    return false;
  }
  return true;
}

void WorkerThread::Stop() {
  if (!thread_) return;
  ::SetEvent(stop_.get());
  // A box the job shows waits for the user; close it, and any box that opens while we wait.
  while (!WaitForThread(kStopPollMs)) ::EnumThreadWindows(thread_id_, CloseDialog, 0);
  thread_.reset();
  stop_.reset();
  job_ = nullptr;
}

bool WorkerThread::WaitForThread(DWORD timeout_ms) const {
  HANDLE thread = thread_.get();
  DWORD index = 0;
  // In a single-threaded apartment this keeps dispatching incoming calls, which the thread
  // may be waiting for.
  HRESULT hr = ::CoWaitForMultipleHandles(0, timeout_ms, 1, &thread, &index);
  if (hr == S_OK) return true;
  if (hr == RPC_S_CALLPENDING) return false;
  return ::WaitForSingleObject(thread, timeout_ms) == WAIT_OBJECT_0;
}

DWORD WINAPI WorkerThread::ThreadMain(void* self) {
  return Boundary("WorkerThread", DWORD{1}, [self] {
    static_cast<WorkerThread*>(self)->Run();
    return DWORD{0};
  });
}

void WorkerThread::Run() {
  const ApartmentGuard apartment(schedule_.apartment);
  ComPtr<IUnknown> carried;
  if (marshaled_ && apartment.entered()) {
    // Releases the stream whatever the outcome.
    if (FAILED(::CoGetInterfaceAndReleaseStream(marshaled_.Detach(), iid_, carried.put_void()))) carried.reset();
  }
  ReleaseUnused(marshaled_);
  DWORD interval = schedule_.first_interval_ms;
  while (::WaitForSingleObject(stop_.get(), interval) == WAIT_TIMEOUT) {
    const bool go_on = Boundary("WorkerThread job", false, [&] { return job_(carried.get()); });
    if (!go_on) break;
    interval = schedule_.next_interval_ms;
  }
}

}  // namespace comsupport
