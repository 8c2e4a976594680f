// What the format object tells the host about the format.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "plugin/cals_format.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

const BSTR kPoisonBstr = reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0xDEADBEEFDEADBEEFull));

class CalsFormatDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IOrvFileFormat, format_.put_void()));
  }
  testing_support::ComApartment apartment_;
  ComPtr<IOrvFileFormat> format_;
};

TEST_F(CalsFormatDescriptionTest, DescriptionHasItsThreeTexts) {
  BSTR name = kPoisonBstr, description = kPoisonBstr, extensions = kPoisonBstr;
  ASSERT_EQ(S_OK, format_->GetDescription(&name, &description, &extensions));
  EXPECT_STREQ(L"KORVANE PDM", name);
  EXPECT_STREQ(L"File format plugin for CALS files.", description);
  EXPECT_STREQ(L"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst", extensions);
  EXPECT_EQ(wcslen(extensions), SysStringLen(extensions));
  SysFreeString(name);
  SysFreeString(description);
  SysFreeString(extensions);
}

TEST_F(CalsFormatDescriptionTest, DescriptionWithANullPointerWritesNone) {
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    std::array<BSTR, 3> out{kPoisonBstr, kPoisonBstr, kPoisonBstr};
    BSTR* args[3] = {&out[0], &out[1], &out[2]};
    args[missing] = nullptr;
    EXPECT_EQ(E_POINTER, format_->GetDescription(args[0], args[1], args[2]));
    for (BSTR value : out) EXPECT_EQ(kPoisonBstr, value);
  }
}

TEST_F(CalsFormatDescriptionTest, FormatCodeIsTheSameForEveryExtension) {
  for (const wchar_t* extension : {L"cal", L"rst", L"", static_cast<const wchar_t*>(nullptr)}) {
    BSTR text = extension ? SysAllocString(extension) : nullptr;
    LONG code = static_cast<LONG>(0xDEADBEEF);
    EXPECT_EQ(S_OK, format_->GetFormatCode(text, &code));
    EXPECT_EQ(264, code);
    SysFreeString(text);
  }
  EXPECT_EQ(E_POINTER, format_->GetFormatCode(nullptr, nullptr));
}

TEST_F(CalsFormatDescriptionTest, UnsupportedOperationsWriteNothing) {
  EXPECT_EQ(E_NOTIMPL, format_->FormatOperation4());
  unsigned char buffer[32];
  std::fill(std::begin(buffer), std::end(buffer), 0xDB);
  EXPECT_EQ(E_NOTIMPL, format_->FormatOperation5(7, buffer));
  for (unsigned char byte : buffer) EXPECT_EQ(0xDB, byte);
  EXPECT_EQ(E_POINTER, format_->FormatOperation5(7, nullptr));
}

}  // namespace
