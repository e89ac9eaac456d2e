// The module's lock count: live objects plus server locks, read by DllCanUnloadNow or by a
// local server deciding when to end.
#pragma once

#include <windows.h>

namespace comsupport {

class ModuleLock {
 public:
  static void Lock() { ::InterlockedIncrement(&count_); }
  static void Unlock() { ::InterlockedDecrement(&count_); }
  static LONG Count() { return count_; }

 private:
  static inline volatile LONG count_ = 0;
};

}  // namespace comsupport
