#include <gtest/gtest.h>

#include <comdef.h>

#include <string>

#include "convert/windows/ole_handles.h"
#include "convert/windows/variant_text.h"
#include "tests/convert/windows/counted_objects.h"

namespace {

using convert::VariantToText;
using convert_test::CountedDispatch;
using convert_test::CountedUnknown;

// The platform's own coercion of `value` to text: what the general
// conversion must hand on.
std::wstring PlatformText(const VARIANT& value) {
  UniqueVariant text;
  const HRESULT hr = VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
  EXPECT_EQ(hr, S_OK);
  return V_BSTR(text.get()) != nullptr ? std::wstring(V_BSTR(text.get())) : std::wstring();
}

HRESULT PlatformFailure(const VARIANT& value) {
  UniqueVariant text;
  return VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
}

// The HRESULT VariantToText raised, S_OK when it returned.
HRESULT RaisedBy(const VARIANT& value, int style = 0) {
  try {
    VariantToText(value, style);
  } catch (const _com_error& e) {
    return e.Error();
  }
  return S_OK;
}

std::wstring DigitsOf(const std::wstring& text) {
  std::wstring digits;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') digits.push_back(c);
  }
  return digits;
}

VARIANT DateValue(double date) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_DATE;
  V_DATE(&v) = date;
  return v;
}

TEST(VariantToText, PlainDatesTakeTheDateStyle) {
  const struct {
    double date;
    int style;
    const wchar_t* expected;
  } cases[] = {
      {45356.0, 103, L"05/03/2024"},
      {45356.0, 0, L"Mar 05 2024 00:00 AM"},
      {45356.578125, 109, L"Mar 05 2024 01:52:30:000 PM"},
      {45356.578125, 113, L"05 Mars 2024 13:52:30:000"},
      {45356.578125, 8, L"05 Mars 2024 13:52:30:000"},
      {45356.578125, 120, L"2024-03-05"},
      {-1e7, 101, L"-1/-1/-001"},  // outside the calendar: rendered, not refused
  };
  for (const auto& c : cases) {
    const VARIANT v = DateValue(c.date);
    EXPECT_EQ(VariantToText(v, c.style), c.expected) << c.date << " style " << c.style;
  }
}

TEST(VariantToText, ZeroDateTakesThePlatformsText) {
  const VARIANT zero = DateValue(0.0);
  EXPECT_EQ(VariantToText(zero, 103), L"12:00:00 AM");
  EXPECT_EQ(VariantToText(zero, 103), PlatformText(zero));
  const VARIANT negativeZero = DateValue(-0.0);
  EXPECT_EQ(VariantToText(negativeZero, 0), PlatformText(negativeZero));
}

TEST(VariantToText, DateByReferenceTakesTheGeneralConversion) {
  for (double date : {45356.578125, 45356.0, 0.0}) {
    double target = date;
    VARIANT byRef;
    VariantInit(&byRef);
    V_VT(&byRef) = VT_BYREF | VT_DATE;
    V_DATEREF(&byRef) = &target;
    for (int style : {103, 0, 113}) {
      EXPECT_EQ(VariantToText(byRef, style), PlatformText(DateValue(date))) << date << " style " << style;
    }
    EXPECT_NE(VariantToText(byRef, 103), L"05/03/2024");
    EXPECT_EQ(target, date);
  }
}

TEST(VariantToText, StringsEndAtTheirFirstZero) {
  UniqueVariant embedded;
  V_VT(embedded.get()) = VT_BSTR;
  V_BSTR(embedded.get()) = SysAllocStringLen(L"ab\0cd", 5);
  EXPECT_EQ(VariantToText(*embedded, 0), L"ab");
  EXPECT_EQ(SysStringLen(V_BSTR(embedded.get())), 5u) << "the value itself is only read";

  VARIANT byRef;
  VariantInit(&byRef);
  V_VT(&byRef) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&byRef) = &V_BSTR(embedded.get());
  EXPECT_EQ(VariantToText(byRef, 0), L"ab");

  UniqueVariant empty;
  V_VT(empty.get()) = VT_BSTR;
  V_BSTR(empty.get()) = SysAllocString(L"");
  EXPECT_EQ(VariantToText(*empty, 0), L"");

  VARIANT nullString;
  VariantInit(&nullString);
  V_VT(&nullString) = VT_BSTR;
  V_BSTR(&nullString) = nullptr;
  EXPECT_EQ(VariantToText(nullString, 0), L"");

  UniqueVariant plain;
  V_VT(plain.get()) = VT_BSTR;
  V_BSTR(plain.get()) = SysAllocString(L"rpelcnt value \x00e9");
  EXPECT_EQ(VariantToText(*plain, 0), L"rpelcnt value \x00e9");
}

TEST(VariantToText, ScalarsGiveThePlatformsText) {
  VARIANT v;
  VariantInit(&v);

  V_VT(&v) = VT_I4;
  V_I4(&v) = -42;
  EXPECT_EQ(VariantToText(v, 103), L"-42");

  V_VT(&v) = VT_UI1;
  V_UI1(&v) = 200;
  EXPECT_EQ(VariantToText(v, 103), L"200");

  V_VT(&v) = VT_R8;
  V_R8(&v) = 1e20;
  EXPECT_EQ(VariantToText(v, 103), L"1E+20");

  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = VARIANT_TRUE;
  EXPECT_EQ(VariantToText(v, 103), L"-1");
  V_BOOL(&v) = VARIANT_FALSE;
  EXPECT_EQ(VariantToText(v, 103), L"0");

  VariantInit(&v);  // VT_EMPTY
  EXPECT_EQ(VariantToText(v, 103), L"");

  // Fractions: the decimal separator is the user's locale's.
  V_VT(&v) = VT_R8;
  V_R8(&v) = 2.5;
  EXPECT_EQ(VariantToText(v, 0), PlatformText(v));
  EXPECT_EQ(DigitsOf(VariantToText(v, 0)), L"25");

  V_VT(&v) = VT_CY;
  V_CY(&v).int64 = 123456;  // 12.3456
  EXPECT_EQ(VariantToText(v, 0), PlatformText(v));
  EXPECT_EQ(DigitsOf(VariantToText(v, 0)), L"123456");

  DECIMAL number{};
  number.scale = 2;
  number.sign = DECIMAL_NEG;
  number.Lo64 = 12345;  // -123.45
  VARIANT dec;
  V_DECIMAL(&dec) = number;
  V_VT(&dec) = VT_DECIMAL;  // after the number: vt shares its bytes with DECIMAL's reserved word
  EXPECT_EQ(VariantToText(dec, 0), PlatformText(dec));
  EXPECT_EQ(DigitsOf(VariantToText(dec, 0)), L"12345");
  EXPECT_EQ(VariantToText(dec, 0).front(), L'-');
}

TEST(VariantToText, ObjectWithAValuePropertyIsReleasedAfterUse) {
  CountedDispatch object(L"from object");
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = &object;
  EXPECT_EQ(VariantToText(v, 0), L"from object");
  EXPECT_EQ(object.refs(), 1u);
}

TEST(VariantToText, ValuesWithoutTextRaiseThePlatformsFailure) {
  VARIANT null;
  VariantInit(&null);
  V_VT(&null) = VT_NULL;
  EXPECT_EQ(RaisedBy(null), DISP_E_TYPEMISMATCH);

  CountedUnknown object;
  VARIANT unknown;
  VariantInit(&unknown);
  V_VT(&unknown) = VT_UNKNOWN;
  V_UNKNOWN(&unknown) = &object;
  const HRESULT expected = PlatformFailure(unknown);
  EXPECT_TRUE(FAILED(expected));
  EXPECT_EQ(RaisedBy(unknown, 103), expected);
  EXPECT_EQ(object.refs(), 1u) << "the copies of the value are released on failure";
  EXPECT_EQ(V_VT(&unknown), VT_UNKNOWN);
  EXPECT_EQ(V_UNKNOWN(&unknown), &object);

  UniqueVariant array;
  V_VT(array.get()) = VT_ARRAY | VT_I4;
  V_ARRAY(array.get()) = SafeArrayCreateVector(VT_I4, 0, 3);
  ASSERT_NE(V_ARRAY(array.get()), nullptr);
  const HRESULT arrayFailure = PlatformFailure(*array);
  EXPECT_TRUE(FAILED(arrayFailure));
  EXPECT_EQ(RaisedBy(*array), arrayFailure);
}

TEST(VariantToText, ValueThatCannotBeCopiedRaisesTheCopysFailure) {
  VARIANT bad;
  VariantInit(&bad);
  V_VT(&bad) = 0x7FFF;  // no such type
  UniqueVariant probe;
  const HRESULT copyFailure = VariantCopy(probe.get(), &bad);
  EXPECT_TRUE(FAILED(copyFailure));
  EXPECT_EQ(RaisedBy(bad), copyFailure);
}

}  // namespace
