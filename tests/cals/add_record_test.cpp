// AddRecord: records turned into tags through the tag configuration file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cals/tag_finder.h"
#include "tests/support/header_rig.h"
#include "tests/support/printable_name.h"

namespace {

using cals::SubTag;
using cals::Tag;

class AddRecordTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(finder.BeginLoad(' ')); }

  // One section for the record, with whatever keys are given.
  void ConfigureSection(const std::u16string& section, const std::u16string& keys) {
    rig.Configure(u"[" + section + u"]\n" + keys);
  }

  testing_support::HeaderRig rig;
  cals::TagFinder finder{rig.platform};
};

TEST_F(AddRecordTest, WorkedExampleCutsTheValueIntoNamedRanges) {
  ConfigureSection(u"rorient", u"Tagnames=a;b\nTagpositions=1-3;5-7");
  ASSERT_TRUE(finder.AddRecord(u"rorient", u"000,270"));
  ASSERT_EQ(finder.tags().size(), 1u);
  const Tag& tag = finder.tags()[0];
  EXPECT_EQ(tag.name, u"rorient");
  EXPECT_EQ(tag.value, u"000,270");
  EXPECT_EQ(tag.subTags, (std::vector<SubTag>{{u"a", 1, 3}, {u"b", 5, 7}}));
  EXPECT_EQ(tag.fieldWidth, 7);
  EXPECT_FALSE(tag.readOnly);
  EXPECT_TRUE(tag.writeBack);
}

struct LayoutCase {
  const char16_t* names;
  const char16_t* positions;
  std::vector<SubTag> expected;
  std::int32_t fieldWidth;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << testing_support::PrintableName(c.names) << "_at_" << testing_support::PrintableName(c.positions);
}

class AcceptedLayout : public AddRecordTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(AcceptedLayout, GivesTheseSubTags) {
  const LayoutCase& c = GetParam();
  ConfigureSection(u"rorient", std::u16string(u"Tagnames=") + c.names + u"\nTagpositions=" + c.positions);
  ASSERT_TRUE(finder.AddRecord(u"rorient", u"value"));
  ASSERT_EQ(finder.tags().size(), 1u);
  EXPECT_EQ(finder.tags()[0].subTags, c.expected);
  EXPECT_EQ(finder.tags()[0].fieldWidth, c.fieldWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, AcceptedLayout,
    ::testing::Values(
        LayoutCase{u"a;b", u"1-3", {{u"a", 1, 3}}, 3},                               // fewer ranges
        LayoutCase{u"a;b;c", u"1-3;5-7", {{u"a", 1, 3}, {u"b", 5, 7}}, 7},           // extra name ignored
        LayoutCase{u"a", u"1-3;5-7", {{u"a", 1, 3}}, 3},                             // extra range ignored
        LayoutCase{u"a;b;", u"1-3;5-7;", {{u"a", 1, 3}, {u"b", 5, 7}}, 7},           // final ";" optional
        LayoutCase{u"Pel X; Y ", u"1-3;5-7", {{u"pel x", 1, 3}, {u" y", 5, 7}}, 7},  // lower-cased, not trimmed
        LayoutCase{u";x", u"1-2;3-4", {{u"", 1, 2}, {u"x", 3, 4}}, 4},               // empty name
        LayoutCase{u"a;b", u"5-9;1-2", {{u"a", 5, 9}, {u"b", 1, 2}}, 9},             // any order
        LayoutCase{u"a;b", u"1-5;3-7", {{u"a", 1, 5}, {u"b", 3, 7}}, 7},             // overlap
        LayoutCase{u"a", u"1-119", {{u"a", 1, 119}}, 119},  // the last position for a 7-character name
        LayoutCase{u"a;b", u"1-1; 2-\t4", {{u"a", 1, 1}, {u"b", 2, 4}}, 4},  // space before numbers
        LayoutCase{u"a", u"0-0", {{u"a", 0, 0}}, 0}, LayoutCase{u"a", u"-3", {{u"a", -3, -1}}, 0},
        LayoutCase{u"a", u"-5--2", {{u"a", -5, -2}}, 0}, LayoutCase{u"a", u"1-3junk", {{u"a", 1, 3}}, 3},
        LayoutCase{u"", u"1-3", {}, 119},  // no names: no sub-tags, the whole record
        LayoutCase{u"a", u"", {}, 119}));

struct RefusedCase {
  const char16_t* section;
  const char16_t* positions;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << testing_support::PrintableName(c.section) << "_at_" << testing_support::PrintableName(c.positions);
}

class RefusedLayout : public AddRecordTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedLayout, RefusesTheRecordAndAddsNothing) {
  ConfigureSection(GetParam().section, std::u16string(u"Tagnames=a;b;c\nTagpositions=") + GetParam().positions);
  ASSERT_TRUE(finder.AddRecord(u"earlier", u"kept"));
  EXPECT_FALSE(finder.AddRecord(GetParam().section, u"001728,002200"));
  ASSERT_EQ(finder.tags().size(), 1u);
  EXPECT_EQ(finder.tags()[0].name, u"earlier");
}

INSTANTIATE_TEST_SUITE_P(
    MalformedRanges, RefusedLayout,
    ::testing::Values(RefusedCase{u"rorient", u"5-3"},           // first after last
                      RefusedCase{u"rorient", u"1-120"},         // beyond 126 - 7
                      RefusedCase{u"r", u"1-126"},               // beyond 126 - 1
                      RefusedCase{u"rorient", u"1-3;7"},         // only a first number
                      RefusedCase{u"rorient", u"1-3;0"},         // ... also 0
                      RefusedCase{u"rorient", u"1-3;x"},         // nothing readable
                      RefusedCase{u"rorient", u"1-3;;5-6"},      // empty entry
                      RefusedCase{u"rorient", u"-1"},            // both -1
                      RefusedCase{u"rorient", u"-1--1"},         // both -1, written out
                      RefusedCase{u"rorient", u"2 -4"},          // a space before the minus sign
                      RefusedCase{u"rorient", u"1-99999999999"}, // held at the 32-bit maximum
                      RefusedCase{u"rpelcnt", u"5-3"}));         // no derived tags either

TEST_F(AddRecordTest, ReadonlyMustBeExactlyOne) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"1", true}, {u"2", false}, {u"0", false}, {u"-1", false}, {u"", false}, {u"abc", false}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& [setting, readOnly] = cases[i];
    ConfigureSection(u"rtype", std::u16string(u"Readonly=") + setting);
    ASSERT_TRUE(finder.BeginLoad(' '));
    ASSERT_TRUE(finder.AddRecord(u"rtype", u"1"));
    EXPECT_EQ(finder.tags()[0].readOnly, readOnly);
  }
}

TEST_F(AddRecordTest, NameIsLowerCasedBeforeTheSectionIsLookedUp) {
  ConfigureSection(u"srcdocid", u"Readonly=1\nTagnames=Part\nTagpositions=1-4");
  ASSERT_TRUE(finder.AddRecord(u"SrcDocId", u"ABCDEFG"));
  const Tag& tag = finder.tags()[0];
  EXPECT_EQ(tag.name, u"srcdocid");
  EXPECT_TRUE(tag.readOnly);
  EXPECT_EQ(tag.subTags, (std::vector<SubTag>{{u"part", 1, 4}}));
}

TEST_F(AddRecordTest, WithoutConfigurationEveryRecordIsAPlainWritableTag) {
  rig.Configure(u"");
  ASSERT_TRUE(finder.AddRecord(u"notes", u"x"));
  ASSERT_TRUE(finder.AddRecord(u"", u"nameless"));
  EXPECT_FALSE(finder.tags()[0].readOnly);
  EXPECT_TRUE(finder.tags()[0].subTags.empty());
  EXPECT_EQ(finder.tags()[0].fieldWidth, 121);
  EXPECT_EQ(finder.tags()[1].fieldWidth, 126);
}

TEST_F(AddRecordTest, ConfigurationOfAnotherFileIsNotUsed) {
  rig.config = testing_support::MemoryTagConfig(u"C:\\Elsewhere\\Mirotex.ini", u"[notes]\nReadonly=1");
  ASSERT_TRUE(finder.AddRecord(u"notes", u"x"));
  EXPECT_FALSE(finder.tags()[0].readOnly);
}

TEST_F(AddRecordTest, LongestConfigurationTextsGainTheirFinalSemicolonSafely) {
  // 40000 characters arrive cut to 32766; the added ";" must still fit.
  const std::u16string longName(40000, u'N');
  std::u16string positions = u"1-3;";
  positions.resize(32766, u'7');
  ConfigureSection(u"notes", u"Tagnames=" + longName + u"\nTagpositions=" + positions);
  ASSERT_TRUE(finder.AddRecord(u"notes", u"abcdef"));
  ASSERT_EQ(finder.tags()[0].subTags.size(), 1u);
  EXPECT_EQ(finder.tags()[0].subTags[0].name, std::u16string(32766, u'n'));
}

TEST_F(AddRecordTest, RpelcntYieldsReadOnlyPictureSizeTags) {
  ASSERT_TRUE(finder.AddRecord(u"RPELCNT", u"001728,002200"));
  const auto& tags = finder.tags();
  ASSERT_EQ(tags.size(), 4u);
  const std::pair<const char16_t*, const char16_t*> expected[] = {
      {u"rpelcnt", u"001728,002200"}, {u"width", u"1728"}, {u"height", u"2200"}, {u"colordepth", u"1"}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(tags[i].name, expected[i].first);
    EXPECT_EQ(tags[i].value, expected[i].second);
    EXPECT_EQ(tags[i].fieldWidth, 119);
    EXPECT_EQ(tags[i].readOnly, i > 0);
    EXPECT_EQ(tags[i].writeBack, i == 0);
    EXPECT_TRUE(tags[i].subTags.empty());
  }
}

TEST_F(AddRecordTest, DerivedTagsShareTheFieldWidthOfAConfiguredRpelcnt) {
  ConfigureSection(u"rpelcnt", u"Readonly=1\nTagnames=pelx;pely\nTagpositions=1-6;8-13");
  ASSERT_TRUE(finder.AddRecord(u"rpelcnt", u"001728,002200"));
  ASSERT_EQ(finder.tags().size(), 4u);
  EXPECT_EQ(finder.tags()[3].fieldWidth, 13);
}

TEST_F(AddRecordTest, RpelcntWithoutACommaYieldsNoDerivedTags) {
  ASSERT_TRUE(finder.AddRecord(u"rpelcnt", u"001728 002200"));
  ASSERT_TRUE(finder.AddRecord(u"rpelcntx", u"1,2"));
  EXPECT_EQ(finder.tags().size(), 2u);
}

TEST_F(AddRecordTest, UnreadablePictureSizesCountAsZero) {
  const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
      {u"abc,2200", u"0", u"0"},  // reading stops at the first number
      {u"1728,x", u"1728", u"0"},
      {u"1728 ,2200", u"1728", u"0"},
      {u"1728, 2200", u"1728", u"2200"},
      {u",", u"0", u"0"},
      {u"-5,+7", u"-5", u"7"},
      {u"99999999999,1", u"2147483647", u"1"}};
  for (const auto& [value, width, height] : cases) {
    ASSERT_TRUE(finder.BeginLoad(' '));
    ASSERT_TRUE(finder.AddRecord(u"rpelcnt", value));
    ASSERT_EQ(finder.tags().size(), 4u);
    EXPECT_EQ(finder.tags()[1].value, width);
    EXPECT_EQ(finder.tags()[2].value, height);
  }
}

TEST_F(AddRecordTest, BeginLoadEmptiesTheListAndLocatesTheConfiguration) {
  ASSERT_TRUE(finder.AddRecord(u"notes", u"x"));
  ASSERT_TRUE(finder.BeginLoad('#'));
  EXPECT_TRUE(finder.tags().empty());
  EXPECT_EQ(finder.iniPath(), u"C:\\Shared\\FileFormats\\Mirotex.ini");
  EXPECT_EQ(finder.fillChar(), '#');

  rig.installation.set_folder(u"");
  EXPECT_FALSE(finder.BeginLoad('*'));
  EXPECT_EQ(finder.fillChar(), '#');  // kept only when the folder was found
}

}  // namespace
