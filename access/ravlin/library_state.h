// The process-wide state of the library, all guarded by the library lock: start counts, the
// library thread with its client pointer and hidden window, the per-thread client pointer
// table, the path caches, the notification sink and the callback registry.
//
// The lists and caches exist between a start and the matching stop; the state object itself
// lives from the library's load to its unload.
#pragma once

#include <windows.h>

#include <memory>

#include "comsupport/critical_section.h"
#include "comsupport/unique_handle.h"
#include "qm/qm_buffer.h"
#include "ravlin/data_list.h"
#include "zorvane.h"

namespace ravlin {

class NotificationSink;

// Marks kept per thread in a thread-local slot.
enum ThreadMarks : DWORD {
  kMarkComOpened = 0x1,   // this library initialised COM for the thread
  kMarkTableEntry = 0x2,  // the thread's client pointer is in the per-thread table
};

class ThreadMarkSlot {
 public:
  ThreadMarkSlot() : index_(::TlsAlloc()) {}
  ~ThreadMarkSlot() {
    if (index_ != TLS_OUT_OF_INDEXES) ::TlsFree(index_);
  }
  ThreadMarkSlot(const ThreadMarkSlot&) = delete;
  ThreadMarkSlot& operator=(const ThreadMarkSlot&) = delete;

  bool Has(DWORD mark) const {
    return index_ != TLS_OUT_OF_INDEXES && (reinterpret_cast<DWORD_PTR>(::TlsGetValue(index_)) & mark) != 0;
  }
  void Set(DWORD mark, bool on) {
    if (index_ == TLS_OUT_OF_INDEXES) return;
    DWORD_PTR marks = reinterpret_cast<DWORD_PTR>(::TlsGetValue(index_));
    marks = on ? (marks | mark) : (marks & ~static_cast<DWORD_PTR>(mark));
    ::TlsSetValue(index_, reinterpret_cast<void*>(marks));
  }

 private:
  DWORD index_;
};

struct LibraryState {
  comsupport::CriticalSection lock;

  LONG start_count = 0;
  LONG thread_start_count = 0;

  IZorvane4* library_client = nullptr;  // one reference, used only on the library thread
  DWORD library_thread_id = 0;
  HWND window = nullptr;
  UINT subscribe_message = 0;
  HANDLE stop_event = nullptr;
  HANDLE thread = nullptr;
  // A handle of the same thread for mode-1 callers to wait on: each caller shares it, so that
  // a stop can let go of it while callers still wait, and no caller needs a copy of its own.
  std::shared_ptr<const comsupport::UniqueHandle> thread_for_commands;

  volatile LONG client_gone = 0;
  bool com_initialised = false;
  // A thread-local slot holding ThreadMarks: what this library did for the calling thread. A
  // thread id can come back for a new thread once the old one has ended; the slot cannot.
  ThreadMarkSlot thread_marks;

  // Per-thread client pointers: thread ids and, in the same positions, IZorvane4 pointers with
  // one reference each held by the table.
  std::unique_ptr<DATA_LIST> thread_ids;
  std::unique_ptr<DATA_LIST> thread_clients;

  std::unique_ptr<QMBuffer> program_directory;
  std::unique_ptr<QMBuffer> data_directory;

  NotificationSink* sink = nullptr;  // one reference
  bool handlers_registered = false;

  // Callback registry: callback addresses and their masks, in registration order.
  std::unique_ptr<DATA_LIST> callbacks;
  std::unique_ptr<DATA_LIST> callback_masks;

  DWORD command_counter = 0;
};

LibraryState& State();

inline bool ClientGone() { return ::InterlockedCompareExchange(&State().client_gone, 0, 0) != 0; }
inline void SetClientGone(bool gone) { ::InterlockedExchange(&State().client_gone, gone ? 1 : 0); }

}  // namespace ravlin
