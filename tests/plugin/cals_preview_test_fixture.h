// What the preview tests share: the host doubles with all their classes
// registered, a preview object created directly (not through the DLL), and
// the per-user tip key, absent at the start of every test and removed
// again at its end.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

#include "cals/windows/settings_light.h"
#include "host_interfaces_h.h"
#include "com/com_object.h"
#include "com/com_ptr.h"
#include "plugin/cals_preview.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/support/win/registry_test_keys.h"
#include "tests/support/win/test_environment.h"

namespace preview_test {

inline constexpr LONG kOwner = 4711;
inline constexpr INT_PTR kB = 11;
inline constexpr INT_PTR kC = -22;
inline constexpr INT_PTR kD = 0x7FFFFFFF0;
inline const std::wstring kTipKeyPath = std::wstring(kProductKey) + L"\\TipOfTheDay";

using Preview = CComObject<CCalsPreview>;

// A registry value as stored.
struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

inline bool TipKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kTipKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

inline std::optional<StoredValue> ReadTipValue(const wchar_t* name = L"1") {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kTipKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  StoredValue value;
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    value.data.resize(size);
    rc = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return value;
}

inline bool WriteTipValue(DWORD type, const void* data, DWORD size, const wchar_t* name = L"1") {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kTipKeyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// True when the value is the REG_DWORD 1 that marks a tip as seen.
inline bool IsSeenMark(const std::optional<StoredValue>& value) {
  const std::vector<BYTE> one = {1, 0, 0, 0};
  return value && value->type == REG_DWORD && value->data == one;
}

inline void* Pointer(ULONG_PTR value) { return reinterpret_cast<void*>(value); }

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_TRUE(doubles_.loaded()) << "host_doubles.dll could not be loaded";
    doubles_.Reset();
    ASSERT_EQ(S_OK, doubles_.Register(kHostDoublesAll));
    ASSERT_FALSE(TipKeyExists());
  }

  void TearDown() override {
    doubles_.Unregister(kHostDoublesAll);
    doubles_.Reset();
  }

  // A preview object with one reference, not initialised.
  ComPtr<Preview> NewPreview() {
    Preview* raw = nullptr;
    EXPECT_EQ(S_OK, Preview::CreateInstance(&raw));
    return ComPtr<Preview>::Copy(raw);
  }

  // A preview object initialised through the doubles' provider.
  ComPtr<Preview> InitialisedPreview(bool tipDone) {
    ComPtr<Preview> preview = NewPreview();
    ComPtr<IOrvPreviewProvider> provider;
    EXPECT_EQ(S_OK, doubles_.CreatePreviewProvider(provider.put()));
    if (preview && provider) {
      EXPECT_EQ(S_OK, preview->Initialise(provider.get(), kOwner, kB, kC, kD, tipDone));
    }
    return preview;
  }

  static HRESULT CallOperation1(Preview* preview, LONG a4 = 0) {
    return static_cast<IOrvFilePreview*>(preview)->PreviewOperation1(Pointer(0xA1), Pointer(0xA2),
                                                                      Pointer(0xA3), a4);
  }
  static std::wstring Operation1Line(LONG a4 = 0) {
    return L"Preview.PreviewOperation1(0xa1,0xa2,0xa3," + std::to_wstring(a4) + L")\n";
  }

  testing_support::ComApartment apartment_;
  testing_support::ScopedAbsentRegistryKey tipKey_{HKEY_CURRENT_USER, kTipKeyPath};
  HostDoublesLibrary doubles_;
};

}  // namespace preview_test
