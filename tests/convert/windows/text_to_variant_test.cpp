#include <gtest/gtest.h>

#include <string>

#include "convert/windows/ole_handles.h"
#include "convert/windows/variant_text.h"
#include "tests/convert/windows/counted_objects.h"

namespace {

using convert::TextToVariant;
using convert_test::CountedUnknown;

TEST(TextToVariant, StoresAnExactStringCopy) {
  const struct {
    const wchar_t* text;
    UINT length;
  } cases[] = {
      {L"", 0},
      {L"abc", 3},
      {L"0950/06/15", 10},
      {L"\x00e9t\x00e9 \xd83d\xde00", 6},  // non-ASCII and a surrogate pair stay as they are
  };
  for (const auto& c : cases) {
    UniqueVariant value;
    ASSERT_TRUE(TextToVariant(*value, c.text));
    ASSERT_EQ(V_VT(value.get()), VT_BSTR);
    const BSTR stored = V_BSTR(value.get());
    ASSERT_NE(stored, nullptr) << "empty text is an empty string, not a null one";
    EXPECT_NE(stored, c.text);
    EXPECT_EQ(SysStringLen(stored), c.length);
    EXPECT_EQ(std::wstring(stored, SysStringLen(stored)), c.text);
  }
}

TEST(TextToVariant, NullTextGivesANullString) {
  UniqueVariant value;
  ASSERT_TRUE(TextToVariant(*value, nullptr));
  EXPECT_EQ(V_VT(value.get()), VT_BSTR);
  EXPECT_EQ(V_BSTR(value.get()), nullptr);
}

TEST(TextToVariant, ReplacesAStringHeldBefore) {
  UniqueVariant value;
  V_VT(value.get()) = VT_BSTR;
  V_BSTR(value.get()) = SysAllocString(L"old and rather longer");
  ASSERT_TRUE(TextToVariant(*value, L""));
  EXPECT_EQ(V_VT(value.get()), VT_BSTR);
  ASSERT_NE(V_BSTR(value.get()), nullptr);
  EXPECT_EQ(SysStringLen(V_BSTR(value.get())), 0u);

  ASSERT_TRUE(TextToVariant(*value, L"new"));
  EXPECT_EQ(std::wstring(V_BSTR(value.get())), L"new");
}

TEST(TextToVariant, ReleasesWhatTheValueHeldBefore) {
  CountedUnknown object;
  object.AddRef();  // the reference the value owns
  UniqueVariant value;
  V_VT(value.get()) = VT_UNKNOWN;
  V_UNKNOWN(value.get()) = &object;
  ASSERT_TRUE(TextToVariant(*value, L"text"));
  EXPECT_EQ(object.refs(), 1u);
  EXPECT_EQ(V_VT(value.get()), VT_BSTR);
  EXPECT_EQ(std::wstring(V_BSTR(value.get())), L"text");
}

TEST(TextToVariant, OverwritesAValueOfUnknownType) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = 0x7FFF;  // the platform refuses to clear it; it is replaced all the same
  ASSERT_TRUE(TextToVariant(value, L"x"));
  EXPECT_EQ(V_VT(&value), VT_BSTR);
  EXPECT_EQ(std::wstring(V_BSTR(&value)), L"x");
  VariantClear(&value);
}

}  // namespace
