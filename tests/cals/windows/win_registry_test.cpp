// Registry and SettingsLight against Wine's real registry. Every value and
// key used here is created by the test and removed again.
#include <gtest/gtest.h>

#include <string>

#include "cals/windows/registry.h"
#include "cals/windows/settings_light.h"
#include "tests/support/win/registry_test_keys.h"
#include "tests/support/win/test_environment.h"

namespace {

using testing_support::ScopedRegistryValue;
using testing_support::ScopedTestKey;

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reg.OpenKey(HKEY_CURRENT_USER, key.path().c_str(), KEY_READ, false)); }

  void SetBytes(const wchar_t* name, DWORD type, std::string_view bytes) {
    ASSERT_TRUE(key.Set(name, type, bytes.data(), static_cast<DWORD>(bytes.size())));
  }
  void SetText(const wchar_t* name, DWORD type, const std::wstring& text, DWORD size) {
    ASSERT_TRUE(key.Set(name, type, text.c_str(), size));
  }

  ScopedTestKey key;
  Registry reg;
};

TEST_F(RegistryValues, QueryStringReadsPlainAndUnterminatedValues) {
  std::wstring text;
  SetText(L"plain", REG_SZ, L"C:\\Orbanix", 22);
  EXPECT_TRUE(reg.QueryString(L"plain", text));
  EXPECT_EQ(text, L"C:\\Orbanix");

  SetText(L"unterminated", REG_SZ, L"ABCD", 8);  // no zero stored
  EXPECT_TRUE(reg.QueryString(L"unterminated", text));
  EXPECT_EQ(text, L"ABCD");

  // 3 bytes: "A" and the low byte of "B"; the missing byte reads as zero.
  SetText(L"odd", REG_SZ, L"AB", 3);
  EXPECT_TRUE(reg.QueryString(L"odd", text));
  EXPECT_EQ(text, L"AB");

  SetText(L"inner zero", REG_SZ, std::wstring(L"AB\0CD", 5), 10);
  EXPECT_TRUE(reg.QueryString(L"inner zero", text));
  EXPECT_EQ(text, L"AB");

  text = L"stale";
  SetBytes(L"empty", REG_SZ, "");
  EXPECT_TRUE(reg.QueryString(L"empty", text));
  EXPECT_EQ(text, L"");
}

TEST_F(RegistryValues, QueryStringRefusesOtherTypesAndMissingValues) {
  std::wstring text = L"untouched";
  DWORD number = 7;
  ASSERT_TRUE(key.Set(L"number", REG_DWORD, &number, sizeof(number)));
  EXPECT_FALSE(reg.QueryString(L"number", text));
  SetText(L"multi", REG_MULTI_SZ, std::wstring(L"A\0B\0", 4), 10);
  EXPECT_FALSE(reg.QueryString(L"multi", text));
  EXPECT_FALSE(reg.QueryString(L"missing", text));
  EXPECT_EQ(reg.lastResult(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(text, L"untouched");
}

TEST_F(RegistryValues, ReadDwordAcceptsOnlyFourByteDwordTypes) {
  DWORD value = 0;
  const DWORD little = 0x12345678;
  ASSERT_TRUE(key.Set(L"little", REG_DWORD, &little, 4));
  EXPECT_TRUE(reg.ReadDword(L"little", value));
  EXPECT_EQ(value, 0x12345678u);

  SetBytes(L"big", REG_DWORD_BIG_ENDIAN, std::string_view("\x00\x00\x01\x02", 4));
  EXPECT_TRUE(reg.ReadDword(L"big", value));
  EXPECT_EQ(value, 0x0102u);

  value = 99;
  SetText(L"text", REG_SZ, L"1", 4);
  EXPECT_FALSE(reg.ReadDword(L"text", value));
  SetBytes(L"binary", REG_BINARY, std::string_view("\x01\x00\x00\x00", 4));
  EXPECT_FALSE(reg.ReadDword(L"binary", value));
  SetBytes(L"short", REG_DWORD, std::string_view("\x01\x00", 2));
  EXPECT_FALSE(reg.ReadDword(L"short", value));
  SetBytes(L"qword", REG_QWORD, std::string_view("\x01\x00\x00\x00\x00\x00\x00\x00", 8));
  EXPECT_FALSE(reg.ReadDword(L"qword", value));
  EXPECT_FALSE(reg.ReadDword(L"missing", value));
  EXPECT_EQ(value, 99u);
}

// The way the tip of the day uses a Registry: product key and sub-key
// created under HKEY_CURRENT_USER, a value written and deleted through the
// held key.
TEST(RegistryKeys, CreatesNestedKeysAndWritesThroughTheHeldKey) {
  ScopedTestKey root;
  const std::wstring product = root.path() + L"\\Product";
  Registry reg;
  EXPECT_FALSE(reg.OpenKey(HKEY_CURRENT_USER, product.c_str(), KEY_READ | KEY_WRITE, false));
  EXPECT_EQ(reg.lastResult(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.key(), nullptr);

  ASSERT_TRUE(reg.OpenKey(HKEY_CURRENT_USER, product.c_str(), KEY_READ | KEY_WRITE, true));
  EXPECT_FALSE(reg.OpenSubKey(L"Tips", KEY_READ | KEY_WRITE, false));
  EXPECT_NE(reg.key(), nullptr) << "a failed sub-key open keeps the parent";
  ASSERT_TRUE(reg.OpenSubKey(L"Tips", KEY_READ | KEY_WRITE, true));
  EXPECT_TRUE(root.Exists(L"Product\\Tips"));

  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExW(reg.key(), L"1", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  DWORD value = 0;
  EXPECT_TRUE(reg.ReadDword(L"1", value));
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(RegDeleteValueW(reg.key(), L"1"), ERROR_SUCCESS);
  EXPECT_FALSE(reg.ReadDword(L"1", value));

  // A later failed open drops the key held before it.
  EXPECT_FALSE(reg.OpenKey(HKEY_CURRENT_USER, (product + L"\\Absent").c_str(), KEY_READ, false));
  EXPECT_EQ(reg.key(), nullptr);
  EXPECT_FALSE(reg.ReadDword(L"1", value));
}

class SharedFolder : public ::testing::Test {
 protected:
  testing_support::ScopedKeyPath keyPath{HKEY_LOCAL_MACHINE, kProductKey};
  ScopedRegistryValue location{HKEY_LOCAL_MACHINE, kProductKey, kSharedLocationValue};
};

TEST_F(SharedFolder, EndsInExactlyOneBackslash) {
  ASSERT_TRUE(location.SetString(L"C:\\Orbanix\\Shared"));
  EXPECT_EQ(SettingsLight().GetSharedFolder(), L"C:\\Orbanix\\Shared\\");
  ASSERT_TRUE(location.SetString(L"C:\\Orbanix\\Shared\\"));
  EXPECT_EQ(SettingsLight().GetSharedFolder(), L"C:\\Orbanix\\Shared\\");
}

TEST_F(SharedFolder, IsCachedOnlyOnceFound) {
  ASSERT_TRUE(location.Remove());
  SettingsLight settings;
  EXPECT_EQ(settings.GetSharedFolder(), L"");
  ASSERT_TRUE(location.SetString(L"C:\\First"));
  EXPECT_EQ(settings.GetSharedFolder(), L"C:\\First\\") << "a failed lookup must not be cached";
  ASSERT_TRUE(location.SetString(L"C:\\Second"));
  EXPECT_EQ(settings.GetSharedFolder(), L"C:\\First\\");
  EXPECT_EQ(SettingsLight().GetSharedFolder(), L"C:\\Second\\");
}

}  // namespace
