#include "qm/qm_buffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

QMBuffer::QMBuffer(long initial_size) : allocate_(std::malloc), release_(std::free) {
  SetSize(initial_size);
}

QMBuffer::QMBuffer(const QMBuffer& other) : allocate_(std::malloc), release_(std::free) {
  SetBytes(other.data_, other.size_);
}

QMBuffer& QMBuffer::operator=(const QMBuffer& other) {
  if (this != &other) SetBytes(other.data_, other.size_);
  return *this;
}

QMBuffer::~QMBuffer() { Clear(); }

bool QMBuffer::SetSize(long n) {
  if (n < 1) {
    Clear();
    return true;
  }
  // n + 1 for the zero byte that follows the data; n < LONG_MAX keeps that in range.
  unsigned char* fresh =
      n < LONG_MAX ? static_cast<unsigned char*>(allocate_(static_cast<std::size_t>(n) + 1)) : nullptr;
  if (!fresh) {
    Clear();
    return false;
  }
  std::memset(fresh, 0, static_cast<std::size_t>(n) + 1);
  if (data_) std::memcpy(fresh, data_, static_cast<std::size_t>(size_ < n ? size_ : n));
  Clear();
  data_ = fresh;
  size_ = n;
  return true;
}

void QMBuffer::Clear() {
  if (data_) release_(data_);
  data_ = nullptr;
  size_ = 0;
}

void QMBuffer::Shorten(long n) {
  if (n < 0) n = 0;
  if (n >= size_) return;
  size_ = n;
  if (data_) data_[n] = 0;
}

bool QMBuffer::SetText(const char* text) {
  if (!text) {
    Clear();
    return true;
  }
  std::size_t length = std::strlen(text);
  // text may point into our own data: copy before releasing it.
  QMBuffer fresh_buffer;
  fresh_buffer.allocate_ = allocate_;
  fresh_buffer.release_ = release_;
  if (length >= static_cast<std::size_t>(LONG_MAX) - 1 || !fresh_buffer.SetSize(static_cast<long>(length) + 1)) {
    Clear();
    return false;
  }
  std::memcpy(fresh_buffer.data_, text, length + 1);
  fresh_buffer.Shorten(static_cast<long>(length));
  TakeOver(fresh_buffer);
  return true;
}

bool QMBuffer::SetBytes(const void* bytes, long n) {
  if (bytes == data_ && n == size_) return true;
  // bytes may point into our own data: copy before releasing it.
  QMBuffer fresh_buffer;
  fresh_buffer.allocate_ = allocate_;
  fresh_buffer.release_ = release_;
  if (n > 0) {
    if (!bytes || !fresh_buffer.SetSize(n)) {
      Clear();
      return false;
    }
    std::memcpy(fresh_buffer.data_, bytes, static_cast<std::size_t>(n));
  }
  TakeOver(fresh_buffer);
  return true;
}

void QMBuffer::TakeOver(QMBuffer& other) {
  Clear();
  data_ = other.data_;
  size_ = other.size_;
  other.data_ = nullptr;
  other.size_ = 0;
}

const char* QMBuffer::GetText() const { return data_ ? reinterpret_cast<const char*>(data_) : ""; }
