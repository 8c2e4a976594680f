#include "cals/windows/kept_registry_key.h"

namespace cals {

// Closed by whoever lets the last reference go: a reader still querying a
// replaced key keeps it open until it is done.
class KeptRegistryKey::Handle {
 public:
  Handle(RegistryCalls& calls, HKEY key) : calls_(calls), key_(key) {}
  ~Handle() { calls_.CloseKey(key_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HKEY get() const { return key_; }

 private:
  RegistryCalls& calls_;
  HKEY key_;
};

KeptRegistryKey::Shared KeptRegistryKey::Current() {
  const std::lock_guard lock(mutex_);
  return key_;
}

KeptRegistryKey::Shared KeptRegistryKey::Replace(const Shared& failed, bool& opened) {
  opened = false;
  const std::lock_guard lock(mutex_);
  if (key_ != nullptr && key_ != failed) return key_;  // another reader replaced it first
  key_.reset();
  HKEY key = nullptr;
  if (calls_.OpenKey(parent_, subKey_, access_, &key) != ERROR_SUCCESS) return nullptr;
  key_ = std::make_shared<const Handle>(calls_, key);
  opened = true;
  return key_;
}

bool KeptRegistryKey::QueryString(const wchar_t* valueName, std::wstring& text) {
  LONG status = ERROR_SUCCESS;
  bool opened = false;
  Shared key = Current();
  if (key == nullptr) key = Replace(nullptr, opened);
  if (key == nullptr) return false;
  if (ReadStringValue(calls_, key->get(), valueName, text, status)) return true;
  // A key opened for this very read answers as a fresh one would.
  if (opened) return false;
  key = Replace(key, opened);
  return key != nullptr && ReadStringValue(calls_, key->get(), valueName, text, status);
}

void KeptRegistryKey::Close() {
  const std::lock_guard lock(mutex_);
  key_.reset();
}

}  // namespace cals
