// Why a save failed, as calsvar tells it: the plug-in's Save answers E_FAIL
// for several reasons, and calsvar finds the one that holds by looking at
// the file afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "base/version.h"
#include "tests/plugin/cals_file_fixture.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/plugin/plugin_write.h"
#include "tools/calsvar/plugin/save_failure.h"

namespace {

using calsvar::ExplainSaveFailure;
using calsvar::ReadHeaderBytes;

class SaveFailureTest : public cals_test::CalsEnvironmentTest {
 protected:
  // Changes the first record on disk, as another program would.
  static bool ChangeHeaderOnDisk(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, "srcdocid: OTHER", 15, &written, nullptr);
    CloseHandle(file);
    return ok && written == 15;
  }
};

TEST_F(SaveFailureTest, NamesWhatStandsInTheWay) {
  HANDLE held = INVALID_HANDLE_VALUE;
  const struct {
    const char* what;
    std::function<bool(const std::wstring&)> arrange;
    const char* message;
  } cases[] = {
      {"read-only", [](const std::wstring& p) { return SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY) != 0; },
       "the file is read-only; nothing was written"},
      {"held",
       [&](const std::wstring& p) {
         held = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
         return held != INVALID_HANDLE_VALUE;
       },
       "the file is held by another program; nothing was written"},
      {"gone", [](const std::wstring& p) { return DeleteFileW(p.c_str()) != 0; },
       "the file is no longer there; nothing was written"},
      {"cut",
       [](const std::wstring& p) { return testing_support::WriteBinaryFile(p, cals_test::CalsFile().substr(0, 1000)); },
       "the file is now shorter than a header (1000 bytes); nothing was written"},
      {"changed", ChangeHeaderOnDisk, "the header changed on disk while calsvar worked on it; nothing was written"},
  };
  for (const auto& c : cases) {
    const std::wstring path = MakeFile(cals_test::CalsFile(), std::wstring(c.what, c.what + strlen(c.what)) + L".cal");
    const auto before = ReadHeaderBytes(path);
    ASSERT_TRUE(before && c.arrange(path)) << c.what;
    EXPECT_EQ(ExplainSaveFailure(path, *before, E_FAIL), c.message) << c.what;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// Through the plug-in's own Save, as calsvar meets it. (A read-only file
// is held against the plug-in end to end, where the file's mode makes it
// read-only; run as root under Wine the attribute alone does not stop a
// write.)
TEST_F(SaveFailureTest, ThePlugInRefusesAHeaderChangedOnDiskAndCalsvarSaysWhy) {
  const std::wstring changed = MakeFile(cals_test::CalsFile(), L"changed.cal");
  const auto before = ReadHeaderBytes(changed);
  ComPtr<IOrvFileNavigator> file = Open(changed);
  LONG accepted = 0;
  ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"SCANNER 7", &accepted));
  ASSERT_EQ(1, accepted);
  ASSERT_TRUE(ChangeHeaderOnDisk(changed));
  const auto onDisk = ReadHeaderBytes(changed);
  const HRESULT hr = file->Save();
  ASSERT_EQ(E_FAIL, hr);
  EXPECT_EQ(ExplainSaveFailure(changed, *before, hr), "the header changed on disk while calsvar worked on it; nothing was written");
  EXPECT_EQ(ReadHeaderBytes(changed), onDisk);
}

// calsvar judges a write by its own copy of the core; what the plug-in
// then writes is read back, so that a plug-in that builds records
// otherwise (another version, or here another tag configuration than the
// one calsvar foresaw with) cannot pass unnoticed.
TEST_F(SaveFailureTest, ASavedHeaderOtherThanTheForecastIsReported) {
  const std::wstring first = MakeFile(cals_test::CalsFile(), L"first.cal");
  const std::wstring second = MakeFile(cals_test::CalsFile(), L"second.cal");
  calsvar::WriteSettings settings;
  settings.pluginVersion = "9.9.9";
  calsvar::FileWriter writer(format_.get(), settings);
  const std::vector<calsvar::Assignment> values{{u"srcgph", u"SCANNER 7", std::nullopt}};
  const calsvar::FileWriteOutcome agreed = writer.Write(first, values);
  EXPECT_EQ(calsvar::WriteStatus::kSaved, agreed.status) << agreed.message;

  // calsvar keeps the folder it found first; the plug-in follows the
  // registry, and there "figid" is cut to two characters.
  testing_support::TempDir other;
  ASSERT_TRUE(CreateDirectoryW(other.File(L"FileFormats").c_str(), nullptr));
  ASSERT_TRUE(testing_support::WriteBinaryFile(other.File(L"FileFormats\\Mirotex.ini"),
                                               "[figid]\r\nTagnames=short\r\nTagpositions=1-2\r\n"));
  ASSERT_TRUE(install_.sharedLocation().SetString(other.path()));
  const calsvar::FileWriteOutcome differs = writer.Write(second, values);
  EXPECT_EQ(calsvar::WriteStatus::kFailed, differs.status);
  EXPECT_TRUE(differs.written);
  EXPECT_EQ(differs.message, std::string("the plug-in wrote another header than calsvar expected: plug-in 9.9.9, calsvar ") +
                                 MIROTEX_VERSION_TEXT);
}

}  // namespace
