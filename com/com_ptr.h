// An owning COM interface pointer: releases on destruction; put() releases
// the old pointer and hands out the address for an out-parameter.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* raw) {
    ComPtr p;
    p.ptr_ = raw;
    return p;
  }
  // Takes a new reference.
  static ComPtr Copy(T* raw) {
    if (raw != nullptr) raw->AddRef();
    return Attach(raw);
  }
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_ != nullptr) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  T** put() {
    Reset();
    return &ptr_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  T* Detach() { return std::exchange(ptr_, nullptr); }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>& out) const {
    return ptr_->QueryInterface(iid, out.put_void());
  }

 private:
  T* ptr_ = nullptr;
};
