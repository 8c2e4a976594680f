// Reading and writing header fields through GetVariables and SetVariables
// on real CALS files, with a realistic tag configuration.
#include <gtest/gtest.h>

#include <string>

#include "plugin/cals_file.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::Items;
using cals_test::kPoisonFlag;

class CalsFileVariablesTest : public CalsEnvironmentTest {};

TEST_F(CalsFileVariablesTest, ReadsEveryRecordTheDerivedTagsAndTheSubTags) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  Items items{{L"srcdocid", L"CALS"}, {L"drawingno", L"CALS"}, {L"sheet", L"CALS"},
              {L"revision", L"CALS"}, {L"dstdocid", L"CALS"},  {L"txtfilid", L"CALS"},
              {L"figid", L"CALS"},    {L"srcgph", L"CALS"},    {L"docls", L"CALS"},
              {L"rtype", L"CALS"},    {L"rorient", L"CALS"},   {L"rotation", L"CALS"},
              {L"orientation", L"CALS"}, {L"rpelcnt", L"CALS"}, {L"width", L"CALS"},
              {L"height", L"CALS"},   {L"colordepth", L"CALS"}, {L"rdensty", L"CALS"},
              {L"notes", L"CALS"},    {L"approved", L"CALS"},  {L"RPELCNT", L"CALS"}};
  const wchar_t* expected[] = {L"D-4711 A01 B", L"D-4711", L"A01", L"B", L"NONE", L"NONE",
                               L"NONE", L"NONE", L"NONE", L"1", L"000,270", L"000", L"270",
                               L"001728,002200", L"1728", L"2200", L"1", L"0200", L"NONE",
                               L"NONE", L"001728,002200"};
  ASSERT_EQ(std::size(expected), static_cast<std::size_t>(items.count()));

  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, items.count(), items.data()));

  for (LONG i = 0; i < items.count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(1, items[i].resultFlag);
    EXPECT_EQ(expected[i], items.Text(i));
  }
}

TEST_F(CalsFileVariablesTest, EmptyValuesComeBackAsEmptyNonNullStrings) {
  std::string bytes = cals_test::CalsFile();
  bytes.replace(3 * 128, 128, testing_support::Record("figid:"));
  auto file = Open(MakeFile(bytes));
  ASSERT_TRUE(file);
  // approvedby starts at position 12 of "NONE": found, but empty.
  Items items{{L"figid", L"CALS"}, {L"approvedby", L"CALS"}};

  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, items.count(), items.data()));

  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(1, items[i].resultFlag);
    ASSERT_EQ(VT_BSTR, items[i].variableValue.vt);
    ASSERT_NE(nullptr, items[i].variableValue.bstrVal);
    EXPECT_EQ(0u, SysStringLen(items[i].variableValue.bstrVal));
  }
}

TEST_F(CalsFileVariablesTest, NullArrayIsRefusedEvenWithCountZero) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  for (LONG count : {LONG{0}, LONG{1}, LONG{-1}}) {
    SCOPED_TRACE(count);
    EXPECT_EQ(E_POINTER, file->GetVariables(0, 0, 0, count, nullptr));
    EXPECT_EQ(E_POINTER, file->SetVariables(0, 0, 0, count, nullptr, 103));
  }
}

TEST_F(CalsFileVariablesTest, CountZeroOrNegativeTouchesNothing) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  Items items{{L"rtype", L"CALS"}, {L"srcgph", L"CALS"}};
  items.SetString(1, L"changed");
  for (LONG count : {LONG{0}, LONG{-1}, LONG{LONG_MIN}}) {
    SCOPED_TRACE(count);
    EXPECT_EQ(S_OK, file->GetVariables(0, 0, 0, count, items.data()));
    EXPECT_TRUE(items.Untouched(0));
    EXPECT_EQ(S_OK, file->SetVariables(0, 0, 0, count, items.data() + 1, 103));
    EXPECT_EQ(kPoisonFlag, items[1].resultFlag);
  }
  // Nothing was accepted, so there is nothing to read back but the old text.
  Items check{{L"srcgph", L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"NONE", check.Text(0));
}

TEST_F(CalsFileVariablesTest, OnlyTheCalsSourceIsHandledWithoutRegardToCase) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  Items items{{L"srcgph", L"cals"}, {L"srcgph", L"CALS "}, {L"srcgph", L""},
              {L"srcgph", nullptr}, {L"srcgph", L"Cals"},  {L"srcgph", L"CAL"},
              {L"srcgph", L"PDM"}};
  const bool handled[] = {true, false, false, false, true, false, false};

  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, items.count(), items.data()));
  for (LONG i = 0; i < items.count(); ++i) {
    SCOPED_TRACE(i);
    if (handled[i]) {
      EXPECT_EQ(1, items[i].resultFlag);
      EXPECT_EQ(L"NONE", items.Text(i));
    } else {
      EXPECT_TRUE(items.Untouched(i));
    }
  }

  Items writes{{L"srcgph", L"cals"}, {L"srcgph", L"CALS "}, {L"srcgph", L""},
               {L"srcgph", nullptr}, {L"srcgph", L"Cals"},  {L"srcgph", L"CAL"},
               {L"srcgph", L"PDM"}};
  for (LONG i = 0; i < writes.count(); ++i) writes.SetString(i, (L"v" + std::to_wstring(i)).c_str());
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, writes.count(), writes.data(), 103));
  for (LONG i = 0; i < writes.count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(handled[i] ? 1 : kPoisonFlag, writes[i].resultFlag);
  }
  // The last handled write wins; the others never reached the tag.
  Items check{{L"srcgph", L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"v4", check.Text(0));
}

TEST_F(CalsFileVariablesTest, NullVariableNameIsAnUnknownName) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  Items items{{nullptr, L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, items.count(), items.data()));
  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(VT_I4, items[0].variableValue.vt);
  items[0].resultFlag = kPoisonFlag;
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));
  EXPECT_EQ(0, items[0].resultFlag);
}

TEST_F(CalsFileVariablesTest, GetVariablesStopsAfterTheFirstFoundItemWhenAsked) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  Items items{{L"nosuchtag", L"CALS"}, {L"rtype", L"CALS"}, {L"rdensty", L"CALS"}};

  ASSERT_EQ(S_OK, file->GetVariables(0, 1, 0, items.count(), items.data()));

  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(VT_I4, items[0].variableValue.vt);  // an unknown name leaves the value alone
  EXPECT_EQ(1, items[1].resultFlag);
  EXPECT_EQ(L"1", items.Text(1));
  EXPECT_TRUE(items.Untouched(2));

  Items all{{L"nosuchtag", L"CALS"}, {L"rtype", L"CALS"}, {L"rdensty", L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, all.count(), all.data()));
  EXPECT_EQ(0, all[0].resultFlag);
  EXPECT_EQ(L"1", all.Text(1));
  EXPECT_EQ(1, all[2].resultFlag);
  EXPECT_EQ(L"0200", all.Text(2));
}

TEST_F(CalsFileVariablesTest, SetVariablesStopsAfterTheFirstAcceptedItemWhenAsked) {
  auto file = Open(MakeFile(cals_test::CalsFile()));
  ASSERT_TRUE(file);
  // Refused items (unknown, read-only, derived) do not end the walk.
  Items items{{L"nosuchtag", L"CALS"}, {L"width", L"CALS"}, {L"srcgph", L"CALS"},
              {L"figid", L"CALS"}};
  for (int i = 0; i < 4; ++i) items.SetString(i, L"X1");

  ASSERT_EQ(S_OK, file->SetVariables(0, 1, 0, items.count(), items.data(), 103));

  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(0, items[1].resultFlag);
  EXPECT_EQ(1, items[2].resultFlag);
  EXPECT_EQ(kPoisonFlag, items[3].resultFlag);

  Items check{{L"srcgph", L"CALS"}, {L"figid", L"CALS"}, {L"width", L"CALS"}};
  ASSERT_EQ(S_OK, file->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"X1", check.Text(0));
  EXPECT_EQ(L"NONE", check.Text(1));
  EXPECT_EQ(L"1728", check.Text(2));

  items[3].resultFlag = kPoisonFlag;
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));
  EXPECT_EQ(1, items[3].resultFlag);
}

TEST_F(CalsFileVariablesTest, ValueWithoutTextFormIsRefusedAndTheWalkGoesOn) {
  const std::wstring path = MakeFile(cals_test::CalsFile());
  auto file = Open(path);
  ASSERT_TRUE(file);
  Items items{{L"figid", L"CALS"}, {L"srcgph", L"CALS"}};
  VariantClear(&items[0].variableValue);
  items[0].variableValue.vt = VT_NULL;  // no string form
  items[1].variableValue.lVal = 42;

  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));

  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(VT_NULL, items[0].variableValue.vt);
  EXPECT_EQ(1, items[1].resultFlag);
  ASSERT_EQ(S_OK, file->Save());

  auto reopened = Open(path);
  ASSERT_TRUE(reopened);
  Items check{{L"figid", L"CALS"}, {L"srcgph", L"CALS"}};
  ASSERT_EQ(S_OK, reopened->GetVariables(0, 0, 0, check.count(), check.data()));
  EXPECT_EQ(L"NONE", check.Text(0));
  EXPECT_EQ(L"42", check.Text(1));
}

// A file object made by its class, not by OpenFile, has no header at all.
TEST_F(CalsFileVariablesTest, ObjectWithoutFileFindsNothingAndSavesNothing) {
  ComPtr<IOrvFileNavigator> file;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFile>(nullptr, IID_IOrvFileNavigator, file.put_void()));
  Items items{{L"rtype", L"CALS"}, {L"width", L"CALS"}};
  items.SetString(0, L"2");

  EXPECT_EQ(S_OK, file->GetVariables(0, 0, 0, items.count(), items.data()));
  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(0, items[1].resultFlag);
  EXPECT_EQ(L"2", items.Text(0));

  items[0].resultFlag = kPoisonFlag;
  EXPECT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));
  EXPECT_EQ(0, items[0].resultFlag);
  EXPECT_EQ(S_OK, file->Save());
}

}  // namespace
