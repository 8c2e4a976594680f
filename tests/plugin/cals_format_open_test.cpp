// OpenFile: a new opened-file object per call, the load's failures passed
// through unchanged, and no object left behind when a load fails.
#include <gtest/gtest.h>

#include <string>

#include "plugin/cals_format.h"
#include "plugin/result_codes.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::Items;

IOrvFileNavigator* const kPoisonNavigator =
    reinterpret_cast<IOrvFileNavigator*>(static_cast<std::uintptr_t>(0xDEADBEEFDEADBEEFull));

class CalsFormatOpenTest : public CalsEnvironmentTest {
 protected:
  // OpenFile's result when it fails; checks that no object was handed out
  // or left alive.
  HRESULT FailedOpen(const wchar_t* path) {
    const LONG locks = g_module.GetLockCount();
    UniqueBstr text(path ? SysAllocString(path) : nullptr);
    IOrvFileNavigator* result = kPoisonNavigator;
    const HRESULT hr = format_->OpenFile(text.get(), 0, &result);
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(locks, g_module.GetLockCount()) << "a failed open leaves no object behind";
    return hr;
  }
};

TEST_F(CalsFormatOpenTest, OpenedFileComesWithOneReferenceForTheCaller) {
  const LONG locks = g_module.GetLockCount();
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  EXPECT_EQ(locks + 1, g_module.GetLockCount());
  EXPECT_EQ(2u, file->AddRef());
  EXPECT_EQ(1u, file->Release());
  ComPtr<IUnknown> own;
  EXPECT_EQ(S_OK, file->QueryInterface(IID_ICalsFile, own.put_void()));
  own.Reset();
  file.Reset();
  EXPECT_EQ(locks, g_module.GetLockCount());
}

TEST_F(CalsFormatOpenTest, LoadFailuresPassThroughUnchanged) {
  EXPECT_EQ(MIROTEX_E_CANNOT_OPEN, FailedOpen(files_.File(L"missing.cal").c_str()));
  EXPECT_EQ(MIROTEX_E_CANNOT_OPEN, FailedOpen(nullptr)) << "a null path is the empty path";
  EXPECT_EQ(MIROTEX_E_CANNOT_OPEN, FailedOpen(files_.path().c_str())) << "a folder";
  EXPECT_EQ(MIROTEX_E_TOO_SHORT,
            FailedOpen(MakeFile(std::string(1000, ' '), L"short.cal").c_str()));
  EXPECT_EQ(MIROTEX_E_TOO_SHORT,
            FailedOpen(MakeFile(cals_test::CalsFile().substr(0, 2047), L"cut.cal").c_str()));
}

TEST_F(CalsFormatOpenTest, MalformedConfigurationFailsTheOpen) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  ASSERT_TRUE(install_.WriteConfiguration("[rorient]\r\nTagnames=a\r\nTagpositions=5-3\r\n"));
  EXPECT_EQ(E_FAIL, FailedOpen(path.c_str()));
}

TEST_F(CalsFormatOpenTest, UnknownInstallationFailsTheOpen) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  ASSERT_TRUE(install_.sharedLocation().Remove());
  EXPECT_EQ(E_FAIL, FailedOpen(path.c_str()));
}

TEST_F(CalsFormatOpenTest, NullResultPointerIsRefused) {
  BSTR path = SysAllocString(MakeFile(cals_test::CalsFile()).c_str());
  const LONG locks = g_module.GetLockCount();
  EXPECT_EQ(E_POINTER, format_->OpenFile(path, 0, nullptr));
  EXPECT_EQ(locks, g_module.GetLockCount());
  SysFreeString(path);
}

TEST_F(CalsFormatOpenTest, TwoOpensOfOnePathAreIndependent) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  auto first = Open(path);
  auto second = Open(path);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.get(), second.get());

  ASSERT_EQ(S_OK, WriteString(first.get(), L"srcgph", L"from first"));
  ASSERT_EQ(S_OK, first->Save());

  // The second object keeps the header it read: a save through the first
  // one does not refresh it.
  Items read{{L"srcgph", L"CALS"}};
  ASSERT_EQ(S_OK, second->GetVariables(0, 0, 0, 1, read.data()));
  EXPECT_EQ(L"NONE", read.Text(0));

  // Its own save would write its own model over the first one's change:
  // it is refused, and the first one's change stays.
  ASSERT_EQ(S_OK, WriteString(second.get(), L"figid", L"from second"));
  EXPECT_EQ(E_FAIL, second->Save());
  auto third = Open(path);
  ASSERT_TRUE(third);
  Items check{{L"srcgph", L"CALS"}, {L"figid", L"CALS"}};
  ASSERT_EQ(S_OK, third->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"from first", check.Text(0));
  EXPECT_EQ(L"NONE", check.Text(1));
}

TEST_F(CalsFormatOpenTest, OpenedFileOutlivesTheFormatObject) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  auto file = Open(path);
  ASSERT_TRUE(file);
  format_.Reset();

  ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"later"));
  ASSERT_EQ(S_OK, file->Save());
  EXPECT_EQ(testing_support::Record("srcgph: later"),
            testing_support::ReadBinaryFile(path).substr(4 * 128, 128));
}

// The file is open only inside OpenFile and Save: between calls others may
// write it.
TEST_F(CalsFormatOpenTest, NoHandleStaysOpenBetweenCalls) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  auto file = Open(path);
  ASSERT_TRUE(file);
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

}  // namespace
