// The first operations of every reference-counted object that Ravlin hands out. An object is
// made with one reference; the Release that drops the last one deletes it. Lock and Unlock
// hold the object's own (recursive) lock, for a caller that needs several calls to agree.
#pragma once

#include <windows.h>

class IRavlinObject {
 protected:
  // First in the vtable; deletion only through Release.
  virtual ~IRavlinObject() = default;

 public:
  // Always 0, with *object set to null: these objects offer no other interfaces.
  virtual int QueryInterface(REFIID iid, void** object) = 0;
  // The new count.
  virtual long AddRef() = 0;
  // The new count; 0 when the object has deleted itself.
  virtual long Release() = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
};
