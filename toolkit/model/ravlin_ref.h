// Owns one reference on an object of the access library (channel record, list, channel data,
// story record) and releases it when it goes.
#pragma once

#include <utility>

namespace vinnet {

template <class T>
class RavlinRef {
 public:
  RavlinRef() = default;
  // Takes over a reference the caller holds.
  explicit RavlinRef(T* object) : object_(object) {}
  RavlinRef(const RavlinRef&) = delete;
  RavlinRef& operator=(const RavlinRef&) = delete;
  RavlinRef(RavlinRef&& other) noexcept : object_(other.release()) {}
  RavlinRef& operator=(RavlinRef&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~RavlinRef() { reset(); }

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }
  T* release() { return std::exchange(object_, nullptr); }
  void reset(T* object = nullptr) {
    T* old = std::exchange(object_, object);
    if (old) old->Release();
  }

 private:
  T* object_ = nullptr;
};

}  // namespace vinnet
