// An owning registry key handle: closed on destruction.
#pragma once

#include <windows.h>

#include <utility>

class UniqueHkey {
 public:
  UniqueHkey() = default;
  explicit UniqueHkey(HKEY owned) : key_(owned) {}
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;
  UniqueHkey(UniqueHkey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueHkey& operator=(UniqueHkey&& other) noexcept {
    if (this != &other) {
      Reset();
      key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
  }
  ~UniqueHkey() { Reset(); }

  void Reset() {
    if (HKEY old = std::exchange(key_, nullptr)) RegCloseKey(old);
  }
  HKEY* put() {
    Reset();
    return &key_;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};
