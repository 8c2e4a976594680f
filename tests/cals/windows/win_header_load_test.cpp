// Loading and saving a CALS header exactly as the host's process does: the
// installation folder from the registry, the tag configuration through the
// private-profile functions, the file with share-deny-write.
#include <gtest/gtest.h>

#include <windows.h>

#include "cals/cals_header.h"
#include "cals/win_utf16.h"
#include "cals/windows/windows_platform.h"
#include "tests/support/win/cals_test_files.h"
#include "tests/support/win/registry_test_keys.h"

namespace {

using cals::ToUtf16;
using cals::ToWide;
using testing_support::ReadBinaryFile;
using testing_support::StandardCalsFile;
using testing_support::TempDir;
using testing_support::TestInstallation;
using testing_support::WriteBinaryFile;

constexpr char kRealisticConfiguration[] =
    "; sub-fields of the standard records\r\n"
    "[rorient]\r\nTagnames=rotation;direction\r\nTagpositions=1-3;5-7\r\n"
    "[rpelcnt]\r\nTagnames=pixels;lines;\r\nTagpositions=1-6;8-13;\r\n"
    "[rdensty]\r\nTagnames=density\r\nTagpositions=1-4\r\n"
    "[rtype]\r\nReadonly=1\r\n";

class WindowsHeader : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteBinaryFile(file, StandardCalsFile())); }

  cals::Status Load() { return header.LoadHeader(ToUtf16(file)); }
  std::u16string Value(const std::u16string& name) const {
    std::u16string text = u"<missing>";
    header.tagFinder.GetTagValue(name, text);
    return text;
  }
  const cals::Tag* Find(const std::u16string& name) const {
    for (const cals::Tag& tag : header.tagFinder.tags())
      if (tag.name == name) return &tag;
    return nullptr;
  }

  TestInstallation install;
  TempDir drawings;
  std::wstring file = drawings.File(L"drawing.cal");
  cals::CalsHeader header{cals::WindowsHeaderPlatform()};
};

TEST_F(WindowsHeader, FindsTheConfigurationBelowTheSharedLocation) {
  ASSERT_TRUE(install.WriteConfiguration(kRealisticConfiguration));
  ASSERT_EQ(Load(), cals::kOk);
  EXPECT_EQ(header.tagFinder.iniPath(), ToUtf16(install.ConfigurationPath()));
  EXPECT_EQ(Value(u"direction"), u"270");
}

TEST_F(WindowsHeader, ExpandsAnEnvironmentVariableInTheSharedLocation) {
  ASSERT_TRUE(install.WriteConfiguration(kRealisticConfiguration));
  ASSERT_TRUE(SetEnvironmentVariableW(L"MIROTEX_TEST_SHARED", install.folder().path().c_str()));
  ASSERT_TRUE(install.sharedLocation().SetString(L"%MIROTEX_TEST_SHARED%", REG_EXPAND_SZ));
  EXPECT_EQ(Load(), cals::kOk);
  SetEnvironmentVariableW(L"MIROTEX_TEST_SHARED", nullptr);
  EXPECT_EQ(header.tagFinder.iniPath(), ToUtf16(install.ConfigurationPath()));
  EXPECT_EQ(Value(u"density"), u"0200");
}

TEST_F(WindowsHeader, FailsWithoutAUsableSharedLocation) {
  ASSERT_TRUE(install.sharedLocation().SetDword(1));
  EXPECT_EQ(Load(), cals::kFail) << "REG_DWORD";
  ASSERT_TRUE(install.sharedLocation().SetString(L""));
  EXPECT_EQ(Load(), cals::kFail) << "empty";
  ASSERT_TRUE(install.sharedLocation().Remove());
  EXPECT_EQ(Load(), cals::kFail) << "missing";
  testing_support::ScopedAbsentRegistryKey absent(HKEY_LOCAL_MACHINE, kProductKey);
  EXPECT_EQ(Load(), cals::kFail) << "product key missing";
}

TEST_F(WindowsHeader, WithoutConfigurationEveryRecordIsAPlainWritableTag) {
  ASSERT_EQ(Load(), cals::kOk);
  ASSERT_EQ(header.tagFinder.tags().size(), 14u);  // 11 records, width, height, colordepth
  int records = 0;
  for (const cals::Tag& tag : header.tagFinder.tags()) {
    if (!tag.writeBack) continue;
    ++records;
    EXPECT_FALSE(tag.readOnly) << ToWide(tag.name);
    EXPECT_TRUE(tag.subTags.empty()) << ToWide(tag.name);
  }
  EXPECT_EQ(records, 11);
  EXPECT_EQ(Value(u"width"), u"1728");
  EXPECT_TRUE(header.tagFinder.SetTagValue(u"rtype", u"2"));
}

TEST_F(WindowsHeader, MatchesSectionsAndKeysWithoutRegardToCase) {
  ASSERT_TRUE(install.WriteConfiguration(
      "[RTYPE]\r\nREADONLY=1\r\n[rOrient]\r\nTAGNAMES=Rotation;Direction\r\ntagPositions=1-3;5-7\r\n"));
  ASSERT_EQ(Load(), cals::kOk);
  EXPECT_TRUE(Find(u"rtype")->readOnly);
  EXPECT_EQ(Value(u"rotation"), u"000");
  EXPECT_EQ(Value(u"DIRECTION"), u"270");
}

TEST_F(WindowsHeader, RealisticConfigurationOnAStandardHeader) {
  ASSERT_TRUE(install.WriteConfiguration(kRealisticConfiguration));
  ASSERT_EQ(Load(), cals::kOk);
  EXPECT_EQ(Value(u"pixels"), u"001728");
  EXPECT_EQ(Value(u"lines"), u"002200");
  EXPECT_EQ(Value(u"rotation"), u"000");
  EXPECT_EQ(Find(u"rpelcnt")->fieldWidth, 13);
  EXPECT_EQ(Find(u"rdensty")->fieldWidth, 4);
  EXPECT_EQ(Find(u"srcdocid")->fieldWidth, 126 - 8);

  EXPECT_FALSE(header.tagFinder.SetTagValue(u"rtype", u"3"));
  EXPECT_FALSE(header.tagFinder.SetTagValue(u"rdensty", u"0300")) << "written only through its sub-tag";
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"density", u"0300"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);

  // Only the changed record differs; records 12 to 16 and the raster stay.
  std::string expected = StandardCalsFile();
  expected.replace(9 * 128, 128, testing_support::Record("rdensty: 0300"));
  EXPECT_EQ(ReadBinaryFile(file), expected);
}

TEST_F(WindowsHeader, CannotLoadOrSaveWhileAnotherProcessWrites) {
  ASSERT_EQ(Load(), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"notes", u"changed"));
  header.dirty = true;
  HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(header.SaveHeader(), cals::kFail);
  EXPECT_TRUE(header.dirty);
  cals::CalsHeader second(cals::WindowsHeaderPlatform());
  EXPECT_EQ(second.LoadHeader(ToUtf16(file)), cals::kCannotOpen);
  CloseHandle(writer);
  EXPECT_EQ(header.SaveHeader(), cals::kOk);
}

}  // namespace
