// GetTagValue and SetTagValue on a loaded tag model.
#include <gtest/gtest.h>

#include <string>

#include "cals/tag_finder.h"
#include "tests/support/header_rig.h"
#include "tests/support/printable_name.h"

namespace {

class TagValueTest : public ::testing::Test {
 protected:
  // Records and configuration sections in one go.
  void Load(std::u16string_view ini, std::initializer_list<std::pair<const char16_t*, const char16_t*>> records) {
    rig.Configure(ini);
    ASSERT_TRUE(finder.BeginLoad(' '));
    for (const auto& [name, value] : records) ASSERT_TRUE(finder.AddRecord(name, value));
  }

  std::u16string Get(const std::u16string& name) {
    std::u16string text = u"<untouched>";
    EXPECT_TRUE(finder.GetTagValue(name, text)) << "not found";
    return text;
  }

  std::u16string ValueOf(std::size_t index) const { return finder.tags().at(index).value; }

  testing_support::HeaderRig rig;
  cals::TagFinder finder{rig.platform};
};

TEST_F(TagValueTest, SubTagsAreFixedRangesOfTheirTagsValue) {
  Load(u"[rpelcnt]\nTagnames=x;y\nTagpositions=1-6;8-13", {{u"rpelcnt", u"001728,002200"}});
  EXPECT_EQ(Get(u"x"), u"001728");
  EXPECT_EQ(Get(u"y"), u"002200");
  EXPECT_EQ(Get(u"rpelcnt"), u"001728,002200");

  ASSERT_TRUE(finder.SetTagValue(u"x", u"42"));
  EXPECT_EQ(ValueOf(0), u"42    ,002200");
  ASSERT_TRUE(finder.SetTagValue(u"x", u"1234567"));
  EXPECT_EQ(ValueOf(0), u"123456,002200");
  EXPECT_FALSE(finder.SetTagValue(u"rpelcnt", u"1,1"));  // written only field by field
  EXPECT_EQ(ValueOf(0), u"123456,002200");
}

TEST_F(TagValueTest, EmptyTextIsStoredAsNone) {
  Load(u"[rorient]\nTagnames=a\nTagpositions=1-3", {{u"notes", u"x"}, {u"rorient", u"000,270"}});
  ASSERT_TRUE(finder.SetTagValue(u"notes", u""));
  EXPECT_EQ(ValueOf(0), u"NONE");
  ASSERT_TRUE(finder.SetTagValue(u"a", u""));
  EXPECT_EQ(ValueOf(1), u"NON,270");
}

TEST_F(TagValueTest, SplicingPadsShortValuesAndTrimsTheEnd) {
  Load(u"[s]\nTagnames=far;tail;mid\nTagpositions=5-6;4-6;3-8", {{u"s", u"AB"}});
  ASSERT_TRUE(finder.SetTagValue(u"far", u"XY"));
  EXPECT_EQ(ValueOf(0), u"AB  XY");
  ASSERT_TRUE(finder.SetTagValue(u"tail", u"Q  "));  // the whole value is right-trimmed
  EXPECT_EQ(ValueOf(0), u"AB Q");
  ASSERT_TRUE(finder.SetTagValue(u"mid", u"\t"));
  EXPECT_EQ(ValueOf(0), u"AB");
}

TEST_F(TagValueTest, SubTagReadsDropTrailingButKeepLeadingSpaces) {
  Load(u"[s]\nTagnames=a;past;partial\nTagpositions=3-8;20-25;9-30", {{u"s", u"AB  CD  EF"}});
  EXPECT_EQ(Get(u"a"), u"  CD");
  EXPECT_EQ(Get(u"past"), u"");  // starts after the end: found, empty
  EXPECT_EQ(Get(u"partial"), u"EF");
}

TEST_F(TagValueTest, WholeTagValuesAreNeitherTrimmedNorCut) {
  Load(u"", {{u"notes", u"x"}});
  const std::u16string longText = u"  " + std::u16string(300, u'z') + u"  ";
  ASSERT_TRUE(finder.SetTagValue(u"notes", longText));
  EXPECT_EQ(Get(u"notes"), longText);
}

TEST_F(TagValueTest, NamesAreMatchedLowerCased) {
  Load(u"[rorient]\nTagnames=Angle\nTagpositions=5-7", {{u"ROrient", u"000,270"}, {u"SrcDocId", u"A"}});
  EXPECT_EQ(Get(u"ANGLE"), u"270");
  EXPECT_EQ(Get(u"SRCDOCID"), u"A");
  EXPECT_TRUE(finder.SetTagValue(u"AnGlE", u"090"));
  EXPECT_TRUE(finder.SetTagValue(u"srcDOCid", u"B"));
  EXPECT_EQ(ValueOf(0), u"000,090");
  EXPECT_EQ(ValueOf(1), u"B");
  std::u16string text = u"<untouched>";
  EXPECT_FALSE(finder.GetTagValue(u" angle", text));  // no trimming of the query
  EXPECT_FALSE(finder.GetTagValue(u"unknown", text));
  EXPECT_EQ(text, u"<untouched>");
  EXPECT_FALSE(finder.SetTagValue(u"unknown", u"v"));
}

TEST_F(TagValueTest, ReadOnlyTagsRefuseEveryWrite) {
  Load(u"[rtype]\nReadonly=1\n[rorient]\nReadonly=1\nTagnames=a\nTagpositions=1-3",
       {{u"rtype", u"1"}, {u"rorient", u"000,270"}, {u"rpelcnt", u"1728,2200"}});
  for (const char16_t* name : {u"rtype", u"a", u"rorient", u"width", u"height", u"colordepth"}) {
    EXPECT_FALSE(finder.SetTagValue(name, u"9")) << "accepted a write";
  }
  EXPECT_EQ(ValueOf(0), u"1");
  EXPECT_EQ(ValueOf(1), u"000,270");
  EXPECT_EQ(Get(u"width"), u"1728");
}

TEST_F(TagValueTest, TheFirstMatchInListOrderWins) {
  Load(u"[early]\nTagnames=shared;early\nTagpositions=1-2;3-4",
       {{u"early", u"ABCD"}, {u"shared", u"plain"}, {u"twin", u"one"}, {u"twin", u"two"}});
  // A sub-tag hides a later tag of the same name, and its own tag too.
  EXPECT_EQ(Get(u"shared"), u"AB");
  EXPECT_EQ(Get(u"early"), u"CD");
  ASSERT_TRUE(finder.SetTagValue(u"shared", u"zz"));
  EXPECT_EQ(ValueOf(0), u"zzCD");
  EXPECT_EQ(ValueOf(1), u"plain");
  // Of two tags with the same name only the first is reached.
  EXPECT_EQ(Get(u"twin"), u"one");
  ASSERT_TRUE(finder.SetTagValue(u"twin", u"new"));
  EXPECT_EQ(ValueOf(2), u"new");
  EXPECT_EQ(ValueOf(3), u"two");
}

// Ranges that begin before position 1 are accepted by the configuration;
// only their positions from 1 on exist.
struct EarlyRangeCase {
  const char16_t* range;
  const char16_t* read;
  const char16_t* write;
  const char16_t* afterWrite;
};

void PrintTo(const EarlyRangeCase& c, std::ostream* os) { *os << testing_support::PrintableName(c.range); }

class EarlyRange : public TagValueTest, public ::testing::WithParamInterface<EarlyRangeCase> {};

TEST_P(EarlyRange, StaysInsideTheValue) {
  Load(std::u16string(u"[s]\nTagnames=f\nTagpositions=") + GetParam().range, {{u"s", u"ABCDEF"}});
  EXPECT_EQ(Get(u"f"), GetParam().read);
  EXPECT_TRUE(finder.SetTagValue(u"f", GetParam().write));
  EXPECT_EQ(ValueOf(0), GetParam().afterWrite);
}

INSTANTIATE_TEST_SUITE_P(SubTags, EarlyRange,
                         ::testing::Values(EarlyRangeCase{u"0-3", u"ABC", u"wxyz", u"wxyDEF"},
                                           EarlyRangeCase{u"-2-2", u"AB", u"q", u"q CDEF"},
                                           EarlyRangeCase{u"0-0", u"", u"q", u"ABCDEF"},
                                           EarlyRangeCase{u"-3", u"", u"q", u"ABCDEF"},
                                           EarlyRangeCase{u"-2147483648-6", u"ABCDEF", u"", u"NONE"}));

}  // namespace
