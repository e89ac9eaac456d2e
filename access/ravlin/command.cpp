#include "command.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "comsupport/critical_section.h"
#include "comsupport/unique_handle.h"
#include "library_state.h"

namespace ravlin {

namespace {

using comsupport::CriticalSection;
using comsupport::CriticalSectionGuard;
using comsupport::UniqueHandle;

constexpr DWORD kWaitSliceMs = 10000;

// The mode-1 commands whose callers are waiting, each with the caller's handle of the event its
// record names. The executor sets that event through the caller's handle instead of opening it
// by name again: the same object, without three more calls to the kernel per command. Entries
// live on the callers' stacks. The list has its own lock: the executor must not wait for the
// library lock, which another thread may hold for seconds while it creates its client.
struct PendingCommand {
  const RavlinCommand* record;
  char event_name[sizeof RavlinCommand::event_name];  // the name the caller's event has
  HANDLE event;
  PendingCommand* next;
};

CriticalSection pending_lock;
PendingCommand* pending_commands = nullptr;

// Enters the caller's entry for the time of its wait; the event handle must outlive it.
class PendingEntry {
 public:
  PendingEntry(const RavlinCommand& record, HANDLE event) : entry_{&record, {}, event, nullptr} {
    std::memcpy(entry_.event_name, record.event_name, sizeof entry_.event_name);
    CriticalSectionGuard guard(pending_lock);
    entry_.next = pending_commands;
    pending_commands = &entry_;
  }
  ~PendingEntry() {
    CriticalSectionGuard guard(pending_lock);
    for (PendingCommand** link = &pending_commands; *link; link = &(*link)->next) {
      if (*link == &entry_) {
        *link = entry_.next;
        break;
      }
    }
  }
  PendingEntry(const PendingEntry&) = delete;
  PendingEntry& operator=(const PendingEntry&) = delete;

 private:
  PendingCommand entry_;
};

// Sets the event of a waiting caller's record; false when no caller waits for this record
// under this name. Set under the list's lock: the caller closes its handle only after leaving.
bool SignalPendingCaller(const RavlinCommand& command) {
  CriticalSectionGuard guard(pending_lock);
  for (PendingCommand* entry = pending_commands; entry; entry = entry->next) {
    // A record whose name was changed after it was posted names another event.
    if (entry->record == &command && std::strncmp(entry->event_name, command.event_name, sizeof entry->event_name) == 0)
      return ::SetEvent(entry->event) != FALSE;
  }
  return false;
}

void SignalNamedEvent(const char* name) {
  UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, name));
  if (event) ::SetEvent(event.get());
}

LONG RunOnLibraryThread(RavlinCommand& command) {
  LibraryState& state = State();
  HWND window = nullptr;
  UINT message = 0;
  std::shared_ptr<const UniqueHandle> thread;
  {
    CriticalSectionGuard guard(state.lock);
    ++state.command_counter;
    std::snprintf(command.event_name, sizeof command.event_name, "RAVLIN%d%08x",
                  static_cast<int>(state.command_counter), static_cast<unsigned>(::GetCurrentProcessId()));
    window = state.window;
    message = state.subscribe_message;
    thread = state.thread_for_commands;
  }
  command.result = 0;
  UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, command.event_name));
  // Without a library thread to run it the command fails at once.
  if (!done || !window || !thread || !*thread) return 0;
  PendingEntry pending(command, done.get());
  if (!::PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(&command))) return 0;
  HANDLE waits[2] = {done.get(), thread->get()};
  bool quit_waiting = false;
  for (;;) {
    // Messages a window procedure left unread still wake the wait, unless the one waiting is
    // WM_QUIT, which stays for the caller's loop.
    DWORD woken = ::MsgWaitForMultipleObjectsEx(2, waits, kWaitSliceMs, QS_ALLINPUT,
                                                quit_waiting ? 0 : MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return command.result;
    if (woken == WAIT_OBJECT_0 + 1) {
      // The thread ended; it may have run the command just before.
      return ::WaitForSingleObject(done.get(), 0) == WAIT_OBJECT_0 ? command.result : 0;
    }
    if (woken == WAIT_FAILED) return 0;
    quit_waiting = DispatchQueuedMessages();
  }
}

}  // namespace

bool DispatchQueuedMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return true;
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return true;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return false;
}

RavlinCommand MakeCommand(DWORD opcode, std::initializer_list<DWORD> arguments) {
  RavlinCommand command;
  std::memset(&command, 0, sizeof command);
  command.opcode = opcode;
  size_t i = 0;
  for (DWORD word : arguments) {
    if (i < 4) command.arguments[i++] = word;
  }
  return command;
}

void RunCommand(RavlinCommand& command) {
  command.result = 0;
  if (!ClientGone()) {
    if (Operation operation = FindOperation(command.opcode)) {
      try {
        command.result = operation(command);
      } catch (...) {
        command.result = 0;
      }
    }
  }
  command.event_name[sizeof command.event_name - 1] = '\0';
  if (command.event_name[0] && !SignalPendingCaller(command)) SignalNamedEvent(command.event_name);
}

LONG ExecuteCommand(RavlinCommand& command, int mode) {
  if (mode == kOnLibraryThread) return RunOnLibraryThread(command);
  RunCommand(command);
  return command.result;
}

}  // namespace ravlin
