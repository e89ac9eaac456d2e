#include "comsupport/structured_guard.h"

#include <windows.h>

namespace comsupport {

namespace {

struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD record;  // first: the handler receives the frame's address
  void* resume[5];                       // __builtin_setjmp buffer
};

// The head of the thread's frame chain is the first word of its information block (fs:0).
EXCEPTION_REGISTRATION_RECORD* ChainHead() {
  EXCEPTION_REGISTRATION_RECORD* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}
void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) {
  __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

extern "C" EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, PVOID frame, CONTEXT*, PVOID) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  GuardFrame* guard = static_cast<GuardFrame*>(frame);
  // Lets the frames registered above ours clean up, and leaves ours at the head of the chain.
  ::RtlUnwind(frame, nullptr, record, nullptr);
  __builtin_longjmp(guard->resume, 1);
}

// A C++ exception is caught before it leaves the guard, which must pop its frame itself. (One
// thrown in another module cannot be: each module carries its own unwinder, built in
// statically, which does not know this module's frames.)
__attribute__((noinline)) bool CallCatching(void (*function)(void*), void* context) {
  try {
    function(context);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

__attribute__((noinline)) bool CallGuarded(void (*function)(void* context), void* context) {
  volatile GuardFrame guard = {};
  GuardFrame* frame = const_cast<GuardFrame*>(&guard);
  if (__builtin_setjmp(frame->resume)) {
    SetChainHead(frame->record.Next);
    return false;
  }
  frame->record.Next = ChainHead();
  frame->record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&GuardHandler);
  SetChainHead(&frame->record);
  const bool completed = CallCatching(function, context);
  SetChainHead(frame->record.Next);
  return completed;
}

}  // namespace comsupport
