// A path names one file on disk, the same from load to save: a relative
// path is fixed when the file is loaded, a host string counts to its full
// length, and a device is refused at once instead of opened.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "plugin/result_codes.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::Items;
using testing_support::ReadBinaryFile;
using testing_support::Record;

// The current folder, put back at the end of the scope.
class CurrentFolderRestorer {
 public:
  CurrentFolderRestorer() {
    folder_.resize(GetCurrentDirectoryW(0, nullptr));
    folder_.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder_.size()), folder_.data()));
  }
  ~CurrentFolderRestorer() { SetCurrentDirectoryW(folder_.c_str()); }
  CurrentFolderRestorer(const CurrentFolderRestorer&) = delete;
  CurrentFolderRestorer& operator=(const CurrentFolderRestorer&) = delete;

 private:
  std::wstring folder_;
};

// A file dialog changes the current folder between load and save; the
// other folder holds a file of the same name.
TEST_F(CalsEnvironmentTest, ARelativePathSavesIntoTheFileItLoaded) {
  const wchar_t* const relativePaths[] = {L"x.cal", L".\\x.cal", L"sub\\..\\x.cal"};
  const std::string original = cals_test::CalsFile();
  const std::string unrelated = testing_support::CalsFile({"srcdocid: UNRELATED", "rpelcnt: 000800,000600"});
  ASSERT_TRUE(CreateDirectoryW(files_.File(L"a").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(files_.File(L"b").c_str(), nullptr));
  const CurrentFolderRestorer restorer;

  for (const wchar_t* relative : relativePaths) {
    SCOPED_TRACE(std::string(relative, relative + wcslen(relative)));
    const std::wstring loaded = MakeFile(original, L"a\\x.cal");
    const std::wstring other = MakeFile(unrelated, L"b\\x.cal");
    ASSERT_TRUE(SetCurrentDirectoryW(files_.File(L"a").c_str()));
    auto file = Open(relative);
    ASSERT_TRUE(file);
    ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"SCANNER 7"));

    ASSERT_TRUE(SetCurrentDirectoryW(files_.File(L"b").c_str()));
    EXPECT_EQ(S_OK, file->Save());
    std::string changed = original;
    changed.replace(4 * 128, 128, Record("srcgph: SCANNER 7"));
    EXPECT_EQ(changed, ReadBinaryFile(loaded));
    EXPECT_EQ(unrelated, ReadBinaryFile(other));
  }
}

// The C runtime and the comparisons of names would stop at the zero and
// take the shorter text in front of it for the whole.
TEST_F(CalsEnvironmentTest, AZeroInsideAPathOrANameMatchesNothing) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  for (const std::wstring& withZero : {path + std::wstring(L"\0.bak", 5), path + L'\0'}) {
    UniqueBstr text(SysAllocStringLen(withZero.data(), static_cast<UINT>(withZero.size())));
    IOrvFileNavigator* result = nullptr;
    EXPECT_EQ(MIROTEX_E_CANNOT_OPEN, format_->OpenFile(text.get(), 0, &result));
    EXPECT_EQ(nullptr, result);
  }

  auto file = Open(path);
  ASSERT_TRUE(file);
  for (const std::wstring& name : {std::wstring(L"srcgph\0zzz", 10), std::wstring(L"drawingno\0", 10)}) {
    Items get{{L"", L"CALS"}};
    Items set{{L"", L"CALS"}};
    for (Items* items : {&get, &set}) {
      SysFreeString((*items)[0].variableName);
      (*items)[0].variableName = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    }
    set.SetString(0, L"CHANGED");
    ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, get.count(), get.data()));
    ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, set.count(), set.data(), 103));
    EXPECT_EQ(kItemNotHandled, get[0].resultFlag);
    EXPECT_EQ(VT_I4, get[0].variableValue.vt) << "the value is untouched";
    EXPECT_EQ(kItemNotHandled, set[0].resultFlag);
  }
  EXPECT_EQ(S_OK, file->Save());
  EXPECT_EQ(original, ReadBinaryFile(path)) << "nothing was accepted, so nothing is written";
}

// One OpenFile on a thread of its own, so that a call that never returns
// fails the test instead of hanging it. What the thread uses lives on the
// heap and is left there when the call does not come back.
struct OpenCall {
  ComPtr<IOrvFileFormat> format;
  UniqueBstr path;
  HRESULT result = E_PENDING;
  IOrvFileNavigator* file = nullptr;

  static DWORD WINAPI Run(void* context) {
    auto* call = static_cast<OpenCall*>(context);
    testing_support::ComApartment apartment(COINIT_MULTITHREADED);
    call->result = call->format->OpenFile(call->path.get(), 0, &call->file);
    return 0;
  }
};

TEST_F(CalsEnvironmentTest, ADeviceIsRefusedAtOnce) {
  const std::wstring devices[] = {
      L"NUL", L"nul.cal", L"CON", L"COM1", L"LPT1", L"\\\\.\\NUL", L"\\\\.\\COM1",
      L"aux .cal", L"Com1.txt. ", L"CONOUT$", L"lpt\u00B2.cal", files_.File(L"PRN.cal"),
      L"\\\\?\\GLOBALROOT\\Device\\Null",
      // Not known by name, but no disk file (Wine's view of a Unix device).
      L"Z:\\dev\\null"};
  for (const std::wstring& device : devices) {
    SCOPED_TRACE(std::string(device.begin(), device.end()));
    auto call = std::make_unique<OpenCall>();
    call->format = format_;
    call->path.Reset(SysAllocString(device.c_str()));
    HANDLE thread = CreateThread(nullptr, 0, &OpenCall::Run, call.get(), 0, nullptr);
    ASSERT_NE(nullptr, thread);
    const DWORD waited = WaitForSingleObject(thread, 1000);
    CloseHandle(thread);
    if (waited != WAIT_OBJECT_0) {
      ADD_FAILURE() << "OpenFile did not return within a second";
      call.release();  // still in use by the blocked thread
      continue;
    }
    EXPECT_EQ(MIROTEX_E_CANNOT_OPEN, call->result);
    EXPECT_EQ(nullptr, call->file);
  }
}

}  // namespace
