// Save: what reaches the file, what never does, and when nothing is written.
#include <gtest/gtest.h>

#include <string>

#include "plugin/cals_file.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::Items;
using cals_test::kParsed;
using testing_support::ReadBinaryFile;
using testing_support::Record;
using testing_support::WriteBinaryFile;

// 5 March 2024 13:52:30
constexpr double kMarch5th2024 = 45356.578125;

class CalsFileSaveTest : public CalsEnvironmentTest {};

std::string Tail(const std::string& bytes) { return bytes.substr(kParsed); }

// The host's usual round: read, write strings and dates in several date
// styles, save, open again.
TEST_F(CalsFileSaveTest, WrittenValuesReachTheFileAndASecondOpenSeesThem) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);

  Items strings{{L"dstdocid", L"CALS"}, {L"rotation", L"CALS"}, {L"approvedby", L"CALS"}};
  strings.SetString(0, L"DWG-2024-001");
  strings.SetString(1, L"90");
  strings.SetString(2, L"J. Smith");
  const BSTR hostString = strings[0].variableValue.bstrVal;
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, strings.count(), strings.data(), 103));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(1, strings[i].resultFlag) << i;
  // The host's value is its own: SetVariables only reads it.
  EXPECT_EQ(VT_BSTR, strings[0].variableValue.vt);
  EXPECT_EQ(hostString, strings[0].variableValue.bstrVal);

  struct DateWrite {
    const wchar_t* name;
    LONG style;
    const wchar_t* expected;
  };
  const DateWrite dates[] = {
      {L"approved", 103, L"05/03/2024"},
      {L"txtfilid", 0, L"Mar 05 2024 01:52 PM"},
      {L"figid", 120, L"2024-03-05"},
      {L"srcgph", 113, L"05 Mars 2024 13:52:30:000"},
      {L"docls", 8, L"05 Mars 2024 13:52:30:000"},  // unknown style: the fallback
  };
  for (const DateWrite& write : dates) {
    Items item{{write.name, L"CALS"}};
    item.SetDate(0, kMarch5th2024);
    ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, 1, item.data(), write.style));
    EXPECT_EQ(1, item[0].resultFlag) << write.style;
  }

  ASSERT_EQ(S_OK, file->Save());

  const std::string saved = ReadBinaryFile(path);
  ASSERT_EQ(original.size(), saved.size());
  EXPECT_EQ(Tail(original), Tail(saved)) << "records 12 to 16 and the raster must not change";
  EXPECT_EQ(Record("dstdocid: DWG-2024-001"), saved.substr(128, 128));
  EXPECT_EQ(Record("rorient: 90 ,270"), saved.substr(7 * 128, 128));
  EXPECT_EQ(Record("notes: 05/03/2024 J. Smith"), saved.substr(10 * 128, 128));

  auto reopened = Open(path);
  ASSERT_TRUE(reopened);
  Items check{{L"dstdocid", L"CALS"}, {L"rotation", L"CALS"}, {L"orientation", L"CALS"},
              {L"approved", L"CALS"}, {L"approvedby", L"CALS"}, {L"txtfilid", L"CALS"},
              {L"figid", L"CALS"},    {L"srcgph", L"CALS"},   {L"docls", L"CALS"},
              {L"width", L"CALS"}};
  ASSERT_EQ(S_OK, reopened->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"DWG-2024-001", check.Text(0));
  EXPECT_EQ(L"90", check.Text(1));
  EXPECT_EQ(L"270", check.Text(2));
  EXPECT_EQ(L"05/03/2024", check.Text(3));
  EXPECT_EQ(L"J. Smith", check.Text(4));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dates[i + 1].expected, check.Text(5 + i));
  EXPECT_EQ(L"1728", check.Text(9));
}

TEST_F(CalsFileSaveTest, RefusedWritesLeaveNothingToSave) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  // Read-only by configuration, derived from rpelcnt, and a tag that has
  // sub-tags (writable only through them).
  Items items{{L"rdensty", L"CALS"}, {L"width", L"CALS"}, {L"colordepth", L"CALS"},
              {L"rorient", L"CALS"}, {L"nosuchtag", L"CALS"}};
  for (int i = 0; i < 5; ++i) items.SetString(i, L"0400");
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(0, items[i].resultFlag) << i;

  ASSERT_TRUE(cals_test::AgeFile(path));
  const auto agedTime = cals_test::WriteTime(path);
  ASSERT_EQ(S_OK, file->Save());

  EXPECT_EQ(original, ReadBinaryFile(path));
  EXPECT_EQ(agedTime, cals_test::WriteTime(path));
  Items check{{L"rdensty", L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, 1, check.data()));
  EXPECT_EQ(L"0200", check.Text(0));
}

TEST_F(CalsFileSaveTest, SecondSaveWithoutChangesDoesNotTouchTheFile) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"SCANNER 7"));

  ASSERT_TRUE(cals_test::AgeFile(path));
  const auto agedTime = cals_test::WriteTime(path);
  ASSERT_EQ(S_OK, file->Save());
  const std::string afterFirst = ReadBinaryFile(path);
  EXPECT_NE(original, afterFirst);
  EXPECT_EQ(Record("srcgph: SCANNER 7"), afterFirst.substr(4 * 128, 128));
  EXPECT_NE(agedTime, cals_test::WriteTime(path));

  ASSERT_TRUE(cals_test::AgeFile(path));
  ASSERT_EQ(S_OK, file->Save());
  EXPECT_EQ(afterFirst, ReadBinaryFile(path));
  EXPECT_EQ(agedTime, cals_test::WriteTime(path));
}

TEST_F(CalsFileSaveTest, ReleaseWithoutSaveDropsTheChanges) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  {
    auto file = Open(path);
    ASSERT_TRUE(file);
    LONG flag = 0;
    ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"lost", &flag));
    ASSERT_EQ(1, flag);
  }
  EXPECT_EQ(original, ReadBinaryFile(path));
}

TEST_F(CalsFileSaveTest, FailedSaveKeepsTheChangesForTheNextSave) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"kept"));

  // Saving never creates a file.
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(E_FAIL, file->Save());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));

  ASSERT_TRUE(WriteBinaryFile(path, original));
  ASSERT_EQ(S_OK, file->Save());
  EXPECT_EQ(Record("srcgph: kept"), ReadBinaryFile(path).substr(4 * 128, 128));
}

}  // namespace
