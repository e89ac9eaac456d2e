// A growable list of 32-bit values: story ids, or addresses of objects. Other modules call it
// through its virtual operations, so their order is fixed; a list must be used by one thread
// at a time.
#pragma once

#include <windows.h>

static_assert(sizeof(void*) == sizeof(DWORD), "list entries hold object addresses");

class DATA_LIST {
 public:
  // When full, the list grows by growth_step entries (at least 1).
  explicit DATA_LIST(long growth_step = 16);
  DATA_LIST(const DATA_LIST&) = delete;
  DATA_LIST& operator=(const DATA_LIST&) = delete;

  virtual ~DATA_LIST();
  // 1 when added; 0 when the list cannot grow (it is left as it was).
  virtual int Add(DWORD value);
  // The entry's address, or null when out of range; valid until the list changes.
  virtual DWORD* GetAddressAt(long index);
  // 0 when out of range.
  virtual DWORD GetAt(long index) const;
  // The removed value (0 when out of range); the later entries move down.
  virtual DWORD RemoveAt(long index);
  virtual long GetCount() const;
  // 1 when found; index (if given) receives the first match.
  virtual int Find(DWORD value, long* index = nullptr) const;
  // Releases the array: capacity and count become 0.
  virtual void RemoveAll();

  long GetCapacity() const { return capacity_; }
  long GetGrowthStep() const { return growth_step_; }

 private:
  DWORD* items_ = nullptr;
  long growth_step_;
  long capacity_ = 0;
  long count_ = 0;
};
