// Registry keys for tests that run under Wine: a private key that is
// removed with its tree afterwards, and a key that is moved aside for one
// test and put back when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

inline constexpr wchar_t kTestKeyRoot[] = L"Software\\MirotexTests";

// A fresh key under HKEY_CURRENT_USER\Software\MirotexTests, deleted with
// everything below it when the object goes.
class ScopedTestKey {
 public:
  ScopedTestKey() {
    static LONG counter = 0;
    path_ = std::wstring(kTestKeyRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&counter));
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
      RegCloseKey(key);
  }
  ~ScopedTestKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestKeyRoot);  // only succeeds once empty
  }
  ScopedTestKey(const ScopedTestKey&) = delete;
  ScopedTestKey& operator=(const ScopedTestKey&) = delete;

  const std::wstring& path() const { return path_; }

  bool Set(const std::wstring& name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    const LONG rc = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }

  bool Exists(const std::wstring& subKey) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (path_ + L"\\" + subKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

 private:
  std::wstring path_;
};

// Makes sure `subKey` of `root` does not exist while the object lives: a
// key that is there is copied aside (under HKEY_CURRENT_USER), deleted, and
// copied back at the end.
class ScopedAbsentRegistryKey {
 public:
  ScopedAbsentRegistryKey(HKEY root, std::wstring subKey) : root_(root), subKey_(std::move(subKey)) {
    HKEY original = nullptr;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_READ, &original) != ERROR_SUCCESS) return;
    HKEY backup = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, backup_.path().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &backup, nullptr) == ERROR_SUCCESS) {
      saved_ = RegCopyTreeW(original, nullptr, backup) == ERROR_SUCCESS;
      RegCloseKey(backup);
    }
    RegCloseKey(original);
    if (saved_) {
      RegDeleteTreeW(root_, subKey_.c_str());
      RegDeleteKeyW(root_, subKey_.c_str());
    }
  }
  ~ScopedAbsentRegistryKey() {
    RegDeleteTreeW(root_, subKey_.c_str());
    RegDeleteKeyW(root_, subKey_.c_str());
    if (!saved_) return;
    HKEY original = nullptr;
    HKEY backup = nullptr;
    if (RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &original, nullptr) ==
        ERROR_SUCCESS) {
      if (RegOpenKeyExW(HKEY_CURRENT_USER, backup_.path().c_str(), 0, KEY_READ, &backup) == ERROR_SUCCESS) {
        RegCopyTreeW(backup, nullptr, original);
        RegCloseKey(backup);
      }
      RegCloseKey(original);
    }
  }
  ScopedAbsentRegistryKey(const ScopedAbsentRegistryKey&) = delete;
  ScopedAbsentRegistryKey& operator=(const ScopedAbsentRegistryKey&) = delete;

 private:
  HKEY root_;
  std::wstring subKey_;
  ScopedTestKey backup_;
  bool saved_ = false;
};

// Remembers which keys on the path to `subKey` do not exist yet, and
// deletes those of them that are empty when the object goes (declare it
// before whatever creates the key, so that it goes last).
class ScopedKeyPath {
 public:
  ScopedKeyPath(HKEY root, const std::wstring& subKey) : root_(root) {
    for (std::size_t end = subKey.find(L'\\'); ; end = subKey.find(L'\\', end + 1)) {
      const std::wstring path = subKey.substr(0, end);
      HKEY key = nullptr;
      if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
      } else {
        missing_.push_back(path);
      }
      if (end == std::wstring::npos) break;
    }
  }
  ~ScopedKeyPath() {
    // Deepest first; RegDeleteKeyW refuses a key that still has sub-keys.
    for (auto it = missing_.rbegin(); it != missing_.rend(); ++it) RegDeleteKeyW(root_, it->c_str());
  }
  ScopedKeyPath(const ScopedKeyPath&) = delete;
  ScopedKeyPath& operator=(const ScopedKeyPath&) = delete;

 private:
  HKEY root_;
  std::vector<std::wstring> missing_;
};

}  // namespace testing_support
