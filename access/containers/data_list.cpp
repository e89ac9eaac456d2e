#include "ravlin/data_list.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

DATA_LIST::DATA_LIST(long growth_step) : growth_step_(growth_step < 1 ? 1 : growth_step) {}

DATA_LIST::~DATA_LIST() { delete[] items_; }

int DATA_LIST::Add(DWORD value) {
  if (count_ == capacity_) {
    if (capacity_ > LONG_MAX - growth_step_) return 0;
    long grown = capacity_ + growth_step_;
    if (static_cast<unsigned long>(grown) > SIZE_MAX / sizeof(DWORD)) return 0;
    DWORD* fresh = new (std::nothrow) DWORD[grown]();
    if (!fresh) return 0;
    if (items_) std::memcpy(fresh, items_, count_ * sizeof(DWORD));
    delete[] items_;
    items_ = fresh;
    capacity_ = grown;
  }
  items_[count_++] = value;
  return 1;
}

DWORD* DATA_LIST::GetAddressAt(long index) {
  return index >= 0 && index < count_ ? &items_[index] : nullptr;
}

DWORD DATA_LIST::GetAt(long index) const {
  return index >= 0 && index < count_ ? items_[index] : 0;
}

DWORD DATA_LIST::RemoveAt(long index) {
  if (index < 0 || index >= count_) return 0;
  DWORD removed = items_[index];
  std::memmove(&items_[index], &items_[index + 1], (count_ - index - 1) * sizeof(DWORD));
  items_[--count_] = 0;
  return removed;
}

long DATA_LIST::GetCount() const { return count_; }

int DATA_LIST::Find(DWORD value, long* index) const {
  for (long i = 0; i < count_; ++i) {
    if (items_[i] == value) {
      if (index) *index = i;
      return 1;
    }
  }
  return 0;
}

void DATA_LIST::RemoveAll() {
  delete[] items_;
  items_ = nullptr;
  capacity_ = 0;
  count_ = 0;
}
