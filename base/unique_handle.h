// An owning handle of a pointer-like type T (an HKEY, a BSTR, an HMODULE):
// `Free` releases it on destruction, on Reset, and before put() hands out
// its address for an out-parameter. Move-only.
//   struct KeyCloser { void operator()(HKEY key) const { RegCloseKey(key); } };
//   using UniqueHkey = UniqueHandle<HKEY, KeyCloser>;
#pragma once

#include <utility>

template <class T, class Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T owned) : handle_(owned) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  void Reset(T owned = T()) {
    if (T old = std::exchange(handle_, owned)) Free()(old);
  }
  T* put() {
    Reset();
    return &handle_;
  }
  // Gives up ownership: the caller frees the handle.
  T Release() { return std::exchange(handle_, T()); }
  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T(); }

 private:
  T handle_ = T();
};
