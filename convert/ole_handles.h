// Owning wrappers for the OLE automation handles: BSTR and VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(BSTR owned) : bstr_(owned) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  UniqueBstr(UniqueBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) {
      Reset();
      bstr_ = std::exchange(other.bstr_, nullptr);
    }
    return *this;
  }
  ~UniqueBstr() { Reset(); }

  void Reset(BSTR owned = nullptr) {
    if (bstr_ != nullptr) SysFreeString(bstr_);
    bstr_ = owned;
  }
  BSTR* put() {
    Reset();
    return &bstr_;
  }
  BSTR Release() { return std::exchange(bstr_, nullptr); }
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_ = nullptr;
};

class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT& operator*() { return value_; }
  const VARIANT& operator*() const { return value_; }
  // Hands the content to the caller; this object is left empty.
  VARIANT Release() {
    VARIANT out = value_;
    VariantInit(&value_);
    return out;
  }

 private:
  VARIANT value_;
};
