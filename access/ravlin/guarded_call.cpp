// mingw has no __try: the guard pushes a structured exception frame of its own on the thread's
// chain (x86 only), and its handler unwinds the frames above it and jumps back into the guard,
// which is what a compiler's __except block does.
#include "guarded_call.h"

#include <windows.h>

namespace ravlin {

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
__attribute__((noinline)) bool CallCatching(ZRNOTIFICATION_CALLBACK callback, const CallbackArguments& a) {
  try {
    callback(a.kind, a.name, a.id, a.text2, a.vessik_id, a.story_id, a.list);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

__attribute__((noinline)) bool GuardedCall(ZRNOTIFICATION_CALLBACK callback, const CallbackArguments& a) {
  volatile GuardFrame guard = {};
  GuardFrame* frame = const_cast<GuardFrame*>(&guard);
  if (__builtin_setjmp(frame->resume)) {
    SetChainHead(frame->record.Next);
    return false;
  }
  frame->record.Next = ChainHead();
  frame->record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&GuardHandler);
  SetChainHead(&frame->record);
  bool completed = CallCatching(callback, a);
  SetChainHead(frame->record.Next);
  return completed;
}

}  // namespace ravlin
