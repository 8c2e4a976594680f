// Helpers for test programs that run under Wine: paths, temporary folders,
// COM apartments and registry values that are put back afterwards.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace testing_support {

// A Unix path as Wine's Z: drive sees it ("/a/b" -> "Z:\a\b").
inline std::wstring ToWindowsPath(const std::string& unixPath) {
  std::wstring out = L"Z:";
  for (char c : unixPath) out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

// A fresh folder under the temporary folder, removed with its files.
class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    path_ = std::wstring(base) + L"mirotex-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&counter));
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() { RemoveTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = dir + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full);
        } else {
          SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(full.c_str());
        }
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
  }

  std::wstring path_;
};

// COM initialised for the lifetime of the object (single-threaded
// apartment unless told otherwise).
class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : hr_(CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

// Sets (or removes) one registry value and restores what was there before
// when it goes out of scope.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name)
      : root_(root), subKey_(std::move(subKey)), name_(std::move(name)) {
    HKEY key;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      keyExisted_ = true;
      DWORD size = 0;
      if (RegQueryValueExW(key, name_.c_str(), nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldData_.resize(size);
        RegQueryValueExW(key, name_.c_str(), nullptr, &oldType_,
                         reinterpret_cast<BYTE*>(oldData_.data()), &size);
        hadValue_ = true;
      }
      RegCloseKey(key);
    }
  }
  ~ScopedRegistryValue() {
    HKEY key;
    if (RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      if (hadValue_) {
        RegSetValueExW(key, name_.c_str(), 0, oldType_, reinterpret_cast<const BYTE*>(oldData_.data()),
                       static_cast<DWORD>(oldData_.size()));
      } else {
        RegDeleteValueW(key, name_.c_str());
      }
      RegCloseKey(key);
    }
    if (!keyExisted_) RegDeleteKeyW(root_, subKey_.c_str());
  }
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

  // Writes raw data of any type.
  bool Set(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return false;
    LONG rc = RegSetValueExW(key, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }
  bool SetString(const std::wstring& text, DWORD type = REG_SZ) {
    return Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  bool SetDword(DWORD value) { return Set(REG_DWORD, &value, sizeof(value)); }
  bool Remove() {
    HKEY key;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return true;
    LONG rc = RegDeleteValueW(key, name_.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }

 private:
  HKEY root_;
  std::wstring subKey_;
  std::wstring name_;
  bool keyExisted_ = false;
  bool hadValue_ = false;
  DWORD oldType_ = REG_NONE;
  std::string oldData_;
};

}  // namespace testing_support
