// An owning handle of a loaded DLL, freed when the object goes.
#pragma once

#include <windows.h>

#include <utility>

namespace calsvar {

class UniqueModule {
 public:
  UniqueModule() = default;
  explicit UniqueModule(HMODULE module) : module_(module) {}
  UniqueModule(const UniqueModule&) = delete;
  UniqueModule& operator=(const UniqueModule&) = delete;
  UniqueModule(UniqueModule&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  UniqueModule& operator=(UniqueModule&& other) noexcept {
    std::swap(module_, other.module_);
    return *this;
  }
  ~UniqueModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  HMODULE get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace calsvar
