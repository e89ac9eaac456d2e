#include "command.h"

#include <cstdio>
#include <cstring>

#include "comsupport/unique_handle.h"
#include "library_state.h"

namespace ravlin {

namespace {

using comsupport::UniqueHandle;

constexpr DWORD kWaitSliceMs = 10000;

void SignalNamedEvent(const char* name) {
  UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, name));
  if (event) ::SetEvent(event.get());
}

LONG RunOnLibraryThread(RavlinCommand& command) {
  LibraryState& state = State();
  HWND window = nullptr;
  UINT message = 0;
  UniqueHandle thread;
  {
    comsupport::CriticalSectionGuard guard(state.lock);
    ++state.command_counter;
    std::snprintf(command.event_name, sizeof command.event_name, "RAVLIN%d%08x",
                  static_cast<int>(state.command_counter), static_cast<unsigned>(::GetCurrentProcessId()));
    window = state.window;
    message = state.subscribe_message;
    HANDLE copy = nullptr;
    if (state.thread && ::DuplicateHandle(::GetCurrentProcess(), state.thread, ::GetCurrentProcess(), &copy,
                                          SYNCHRONIZE, FALSE, 0))
      thread.reset(copy);
  }
  command.result = 0;
  UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, command.event_name));
  // Without a library thread to run it the command fails at once.
  if (!done || !window || !thread || !::PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(&command)))
    return 0;
  HANDLE waits[2] = {done.get(), thread.get()};
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
  if (command.event_name[0]) SignalNamedEvent(command.event_name);
}

LONG ExecuteCommand(RavlinCommand& command, int mode) {
  if (mode == kOnLibraryThread) return RunOnLibraryThread(command);
  RunCommand(command);
  return command.result;
}

}  // namespace ravlin
