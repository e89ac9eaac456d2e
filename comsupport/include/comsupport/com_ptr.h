// A counted COM interface pointer: AddRef on copy, Release on destruction.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace comsupport {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference on pointer.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  // Adopts a reference the caller already owns.
  static ComPtr Attach(T* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  T* Detach() { return std::exchange(pointer_, nullptr); }

  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // QueryInterface for another interface; empty on failure, the HRESULT in *result if given.
  template <class U>
  ComPtr<U> As(HRESULT* result = nullptr) const {
    ComPtr<U> other;
    HRESULT hr = pointer_ ? pointer_->QueryInterface(__uuidof(U), other.put_void()) : E_POINTER;
    if (result) *result = hr;
    return other;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace comsupport
