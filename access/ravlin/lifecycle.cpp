// RavlinInitialize and RavlinDeinitialize: the reference-counted start and stop of the library
// thread and of the per-start lists and caches.
#include <windows.h>

#include <memory>

#include "client_pointer.h"
#include "command.h"
#include "comsupport/boundary.h"
#include "comsupport/unique_handle.h"
#include "library_state.h"
#include "library_thread.h"
#include "notifications.h"
#include "ravlin/ravlin.h"

namespace ravlin {

namespace {

using comsupport::CriticalSectionGuard;
using comsupport::UniqueHandle;

constexpr DWORD kStartWaitMs = 60000;
constexpr DWORD kStopSliceMs = 2000;
constexpr DWORD kStopLimitMs = 30000;

// A copy of the thread's handle, for waiting only; empty when none can be had (mode-1 commands
// then fail at once).
std::shared_ptr<const UniqueHandle> SharedCopyOf(HANDLE thread) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), thread, ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
    return nullptr;
  try {
    return std::make_shared<const UniqueHandle>(copy);
  } catch (...) {
    ::CloseHandle(copy);
    return nullptr;
  }
}

// Waits for the library thread to end, dispatching the caller's messages, for 30 s at most.
bool WaitForThread(HANDLE thread) {
  DWORD began = ::GetTickCount();
  for (;;) {
    DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, kStopSliceMs, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken == WAIT_FAILED || ::GetTickCount() - began >= kStopLimitMs) return false;
    DispatchQueuedMessages();
  }
}

// The stop proper, after the start count has reached 0: ends the library thread and drops the
// per-start state. Only the call that takes the thread-start count from 1 to 0 does anything.
void StopLibrary() {
  LibraryState& state = State();
  HANDLE thread = nullptr, stop_event = nullptr;
  DWORD thread_id = 0;
  {
    CriticalSectionGuard guard(state.lock);
    if (state.thread_start_count != 1) return;
    state.thread_start_count = 0;
    thread = state.thread;
    stop_event = state.stop_event;
    thread_id = state.library_thread_id;
  }
  if (thread) {
    if (stop_event) ::SetEvent(stop_event);
    // The library thread cannot wait for itself; it ends when this call returns to its loop.
    if (::GetCurrentThreadId() != thread_id && !WaitForThread(thread))
      ::OutputDebugStringA("Ravlin: the library thread did not end within 30 seconds\n");
  }
  {
    CriticalSectionGuard guard(state.lock);
    // The thread holds a handle of its own to the stop event.
    if (thread) ::CloseHandle(thread);
    if (stop_event) ::CloseHandle(stop_event);
    if (state.thread == thread) {
      state.thread = nullptr;
      state.thread_for_commands.reset();
    }
    if (state.stop_event == stop_event) state.stop_event = nullptr;
    // A start made while this stop waited keeps what it set up.
    if (state.thread_start_count != 0) return;
    // A library thread that did not end in time still has its handlers: they go here, so that
    // the next start registers its own.
    DestroyNotificationHandlers();
    state.program_directory.reset();
    state.data_directory.reset();
  }
  ReleaseThreadClients();
  UninitialiseCallingThread();
}

// Waits for the library thread of a start made by another thread to have its client or to
// end, for as long as the starting thread itself would wait.
void WaitForStartInProgress() {
  LibraryState& state = State();
  DWORD began = ::GetTickCount();
  while (::GetTickCount() - began < kStartWaitMs) {
    {
      CriticalSectionGuard guard(state.lock);
      if (state.library_client || !state.thread || state.thread_start_count == 0) return;
    }
    ::Sleep(50);
  }
}

int Initialize(int parameter) {
  LibraryState& state = State();
  {
    CriticalSectionGuard guard(state.lock);
    if (state.start_count > 0) {
      if (!state.library_client) return 0;
      ++state.start_count;
      return 1;
    }
  }
  SetClientGone(false);
  bool started = false, in_progress = false;
  UniqueHandle initialized;
  {
    CriticalSectionGuard guard(state.lock);
    if (!state.program_directory) state.program_directory.reset(new QMBuffer());
    if (!state.data_directory) state.data_directory.reset(new QMBuffer());
    if (!state.thread_ids) state.thread_ids.reset(new DATA_LIST(16));
    if (!state.thread_clients) state.thread_clients.reset(new DATA_LIST(16));
    if (state.thread_start_count == 0) {
      state.subscribe_message = ::RegisterWindowMessageA("RAVLIN_SUBSCRIBE");
      state.stop_event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
      // Made before the thread starts, so that its signal cannot come before anyone holds it.
      initialized.reset(::CreateEventA(nullptr, FALSE, FALSE, InitializedEventName().c_str()));
      DWORD thread_id = 0;
      state.thread = state.stop_event ? ::CreateThread(nullptr, 0, LibraryThreadMain,
                                                       reinterpret_cast<void*>(static_cast<INT_PTR>(parameter)), 0,
                                                       &thread_id)
                                      : nullptr;
      started = state.thread != nullptr;
      if (started) {
        state.thread_start_count = 1;
        state.thread_for_commands = SharedCopyOf(state.thread);
      } else {
        // Nothing runs: a later start tries again.
        if (state.stop_event) ::CloseHandle(state.stop_event);
        state.stop_event = nullptr;
      }
    } else {
      // Another thread's first start is under way.
      in_progress = !state.library_client;
    }
  }
  if (started && initialized) ::WaitForSingleObject(initialized.get(), kStartWaitMs);
  initialized.reset();
  if (in_progress) WaitForStartInProgress();
  {
    CriticalSectionGuard guard(state.lock);
    if (state.library_client) {
      ++state.start_count;
      return 1;
    }
  }
  // A failed start leaves nothing running, so that a later start begins again.
  if (started) StopLibrary();
  return 0;
}

void Deinitialize() {
  LibraryState& state = State();
  {
    CriticalSectionGuard guard(state.lock);
    // A stop without a start changes nothing.
    if (state.start_count <= 0) return;
    if (--state.start_count > 0) return;
  }
  StopLibrary();
}

}  // namespace

}  // namespace ravlin

extern "C" int RavlinInitialize(int parameter) {
  return comsupport::Boundary("Ravlin", 0, [&] { return ravlin::Initialize(parameter); });
}

extern "C" void RavlinDeinitialize() {
  comsupport::Boundary("Ravlin", 0, [] {
    ravlin::Deinitialize();
    return 0;
  });
}
