#include "watch_thread.h"

namespace hookwell {

namespace {

// How often Stop looks again for a box to close while it waits.
constexpr DWORD kStopPollMs = 100;

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
  char class_name[16] = {};
  if (::GetClassNameA(window, class_name, sizeof class_name) && lstrcmpA(class_name, "#32770") == 0)
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

void ReleaseUnused(comsupport::ComPtr<IStream>& marshaled) {
  if (!marshaled) return;
  // The reference in the stream would otherwise keep the object alive.
  ::CoReleaseMarshalData(marshaled.get());
  marshaled.reset();
}

}  // namespace

bool WatchThread::Start(REFIID iid, IUnknown* carried, Job job, DWORD first_interval_ms,
                        DWORD next_interval_ms) {
  Stop();
  job_ = std::move(job);
  iid_ = iid;
  first_interval_ms_ = first_interval_ms;
  next_interval_ms_ = next_interval_ms;
  if (carried && FAILED(::CoMarshalInterThreadInterfaceInStream(iid, carried, marshaled_.put()))) {
    marshaled_.reset();
  }
  stop_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (stop_) thread_.reset(::CreateThread(nullptr, 0, &WatchThread::ThreadMain, this, 0, &thread_id_));
  if (!thread_) {
    ReleaseUnused(marshaled_);
    stop_.reset();
    return false;
  }
  return true;
}

void WatchThread::Stop() {
  if (!thread_) return;
  ::SetEvent(stop_.get());
  // A box the job shows waits for the user; close it, and any box that opens while we wait.
  while (!WaitForThread(kStopPollMs)) ::EnumThreadWindows(thread_id_, CloseDialog, 0);
  thread_.reset();
  stop_.reset();
  job_ = nullptr;
}

bool WatchThread::WaitForThread(DWORD timeout_ms) const {
  HANDLE thread = thread_.get();
  DWORD index = 0;
  // In a single-threaded apartment this keeps dispatching incoming calls, which the thread
  // may be waiting for.
  HRESULT hr = ::CoWaitForMultipleHandles(0, timeout_ms, 1, &thread, &index);
  if (hr == S_OK) return true;
  if (hr == RPC_S_CALLPENDING) return false;
  return ::WaitForSingleObject(thread, timeout_ms) == WAIT_OBJECT_0;
}

DWORD WINAPI WatchThread::ThreadMain(void* self) {
  static_cast<WatchThread*>(self)->Run();
  return 0;
}

void WatchThread::Run() {
  // Its own multithreaded apartment: the thread waits without pumping messages.
  const HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    comsupport::ComPtr<IUnknown> carried;
    if (marshaled_ && SUCCEEDED(initialised)) {
      // Releases the stream whatever the outcome.
      if (FAILED(::CoGetInterfaceAndReleaseStream(marshaled_.Detach(), iid_, carried.put_void()))) carried.reset();
    }
    ReleaseUnused(marshaled_);
    DWORD interval = first_interval_ms_;
    while (::WaitForSingleObject(stop_.get(), interval) == WAIT_TIMEOUT) {
      bool go_on = false;
      try {
        go_on = job_(carried.get());
      } catch (...) {
      }
      if (!go_on) break;
      interval = next_interval_ms_;
    }
  }
  if (SUCCEEDED(initialised)) ::CoUninitialize();
}

}  // namespace hookwell
