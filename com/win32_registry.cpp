#include "com/win32_registry.h"

#include <windows.h>

#include <string>

#include "com/unique_hkey.h"

using registrar::KeyAccess;
using registrar::RegistryKey;
using registrar::RootKey;
using registrar::Status;

namespace {

// Registry calls take NUL-terminated names; char16_t and wchar_t are the
// same UTF-16 unit here.
std::wstring Terminated(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

Status FromWin32(LONG error) { return static_cast<Status>(HRESULT_FROM_WIN32(static_cast<unsigned long>(error))); }

class Win32Key : public RegistryKey {
 public:
  // A predefined root handle: not ours to close.
  explicit Win32Key(HKEY root) : key_(root) {}
  explicit Win32Key(UniqueHkey owned) : owned_(std::move(owned)), key_(owned_.get()) {}

  Status OpenSubkey(std::u16string_view name, KeyAccess access, std::unique_ptr<RegistryKey>* out) override {
    UniqueHkey sub;
    const REGSAM sam = access == KeyAccess::kReadWrite ? (KEY_READ | KEY_WRITE) : KEY_READ;
    const LONG rc = RegOpenKeyExW(key_, Terminated(name).c_str(), 0, sam, sub.put());
    if (rc != ERROR_SUCCESS) return FromWin32(rc);
    *out = std::make_unique<Win32Key>(std::move(sub));
    return registrar::kOk;
  }

  Status CreateSubkey(std::u16string_view name, std::unique_ptr<RegistryKey>* out) override {
    UniqueHkey sub;
    const LONG rc = RegCreateKeyExW(key_, Terminated(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_READ | KEY_WRITE, nullptr, sub.put(), nullptr);
    if (rc != ERROR_SUCCESS) return FromWin32(rc);
    *out = std::make_unique<Win32Key>(std::move(sub));
    return registrar::kOk;
  }

  Status DeleteSubkey(std::u16string_view name) override {
    return FromWin32(RegDeleteKeyW(key_, Terminated(name).c_str()));
  }

  Status DeleteSubkeyTree(std::u16string_view name) override {
    return FromWin32(RegDeleteTreeW(key_, Terminated(name).c_str()));
  }

  Status HasSubkeys(bool* result) override {
    DWORD subkeys = 0;
    const LONG rc = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return FromWin32(rc);
    *result = subkeys != 0;
    return registrar::kOk;
  }

  Status SetStringValue(std::u16string_view name, std::u16string_view text) override {
    const std::wstring data = Terminated(text);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return FromWin32(RegSetValueExW(key_, name.empty() ? nullptr : Terminated(name).c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(data.c_str()), bytes));
  }

  Status DeleteValue(std::u16string_view name) override {
    return FromWin32(RegDeleteValueW(key_, name.empty() ? nullptr : Terminated(name).c_str()));
  }

 private:
  UniqueHkey owned_;
  HKEY key_;
};

HKEY PredefinedKey(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case RootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::kUsers: return HKEY_USERS;
    case RootKey::kCurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return nullptr;
}

}  // namespace

Status Win32Registry::OpenRoot(RootKey root, std::unique_ptr<RegistryKey>* out) {
  HKEY key = PredefinedKey(root);
  if (key == nullptr) return static_cast<Status>(E_INVALIDARG);
  *out = std::make_unique<Win32Key>(key);
  return registrar::kOk;
}
