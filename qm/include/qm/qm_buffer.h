// A growable byte buffer, also used for texts: every text result that crosses a module boundary
// lands in one. A buffer keeps the allocation functions of the module that constructed it, so
// another module may fill or resize it and the memory still goes back to the right heap.
//
// While it holds data, one zero byte follows the last byte of the size, so the data reads as a
// NUL-terminated text even after SetSize or Shorten.
#pragma once

#include <cstddef>

class QMBuffer {
 public:
  explicit QMBuffer(long initial_size = 0);
  QMBuffer(const QMBuffer& other);
  QMBuffer& operator=(const QMBuffer& other);
  virtual ~QMBuffer();

  // n below 1 releases the data and makes the size 0. Otherwise n zero-filled bytes replace the
  // data, the first min(old size, n) of them copied from it. False when the allocation fails:
  // the buffer is then empty.
  bool SetSize(long n);
  void Clear();
  // Lowers the size to n, keeping the data; a larger n changes nothing.
  void Shorten(long n);
  // Copies a NUL-terminated text: the size is its length. A null text empties the buffer.
  bool SetText(const char* text);
  // Copies n bytes (which may hold NULs); the size is n.
  bool SetBytes(const void* bytes, long n);

  long GetSize() const { return size_; }
  unsigned char* GetData() const { return data_; }
  // The data as a text; "" when empty.
  const char* GetText() const;

 private:
  // Releases our data and takes other's (made with our allocation functions); other is left empty.
  void TakeOver(QMBuffer& other);

  unsigned char* data_ = nullptr;
  long size_ = 0;
  void* (*allocate_)(std::size_t);
  void (*release_)(void*);
};
