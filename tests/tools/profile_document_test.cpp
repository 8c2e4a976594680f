// The INI reading that the configuration check relies on must answer as
// the private-profile functions do; these are the rules of Wine's reader.
#include <gtest/gtest.h>

#include "cals/cp1252_codec.h"
#include "tools/calsvar/profile_document.h"

namespace {

using calsvar::ProfileDocument;

TEST(ProfileDocument, SectionAndKeyNamesMatchWithoutRegardToCaseAndBlanks) {
  const auto doc = ProfileDocument::Parse(u"[RPelCnt]\n  TagNames =  a;b  \n");
  EXPECT_EQ(doc.ReadString(u"rpelcnt", u"Tagnames", u"", 100), u"a;b");
  EXPECT_EQ(doc.ReadString(u" rpelcnt ", u" tagnames ", u"", 100), u"a;b");
  ASSERT_NE(doc.FindKey(u"rpelcnt", u"tagnames"), nullptr);
  EXPECT_EQ(doc.FindKey(u"rpelcnt", u"tagnames")->line, 2);
}

TEST(ProfileDocument, FirstKeyAndFirstSectionOfAName) {
  const auto doc = ProfileDocument::Parse(u"[a]\nk=1\nk=2\n[A]\nk=3\nother=4\n");
  EXPECT_EQ(doc.ReadString(u"a", u"k", u"", 100), u"1");
  // The second [A] is never searched, not even for keys the first lacks.
  EXPECT_EQ(doc.ReadString(u"a", u"other", u"dflt", 100), u"dflt");
}

TEST(ProfileDocument, SemicolonLinesAreKeysNotComments) {
  const auto doc = ProfileDocument::Parse(u"[s]\n; Readonly=1\n;plain comment\n");
  ASSERT_EQ(doc.sections()[1].keys.size(), 2u);
  EXPECT_EQ(doc.sections()[1].keys[0].name, u"; Readonly");
  EXPECT_EQ(doc.ReadInt(u"s", u"Readonly", 0), 0);
  EXPECT_EQ(doc.ReadString(u"s", u"; Readonly", u"", 100), u"1");
}

TEST(ProfileDocument, TextAfterAValueStaysInTheValue) {
  const auto doc = ProfileDocument::Parse(u"[s]\nTagpositions=1-6;8-13 ; widths\n");
  EXPECT_EQ(doc.ReadString(u"s", u"Tagpositions", u"", 100), u"1-6;8-13 ; widths");
}

TEST(ProfileDocument, SectionNamesAreTrimmedAndOnlyTextAfterTheLastBracketIsDropped) {
  const auto doc = ProfileDocument::Parse(u"[ rtype ]\nReadonly=1\n[rdensty] trailing words\nx=1\n");
  EXPECT_EQ(doc.ReadInt(u"rtype", u"Readonly", 0), 1);
  EXPECT_EQ(doc.sections()[1].name, u"rtype");
  EXPECT_EQ(doc.ReadString(u"rdensty", u"x", u"", 100), u"1");
}

TEST(ProfileDocument, KeysBeforeTheFirstSectionAnswerAnEmptySectionName) {
  const auto doc = ProfileDocument::Parse(u"k=early\n[]\nk=late\n");
  EXPECT_EQ(doc.ReadString(u"", u"k", u"", 100), u"early");
  EXPECT_EQ(doc.ReadString(u"  ", u"k", u"", 100), u"early");
}

TEST(ProfileDocument, UnclosedHeaderIsAKeyOfTheSectionBefore) {
  const auto doc = ProfileDocument::Parse(u"[a]\n[b\nk=1\n");
  EXPECT_EQ(doc.unclosedHeaderLines(), std::vector<int>{2});
  EXPECT_EQ(doc.ReadString(u"a", u"k", u"", 100), u"1");
  EXPECT_EQ(doc.FindSection(u"b"), nullptr);
}

TEST(ProfileDocument, KeyWithoutEqualsSignReadsAsMissing) {
  const auto doc = ProfileDocument::Parse(u"[a]\nTagnames\nTagnames=x\n");
  EXPECT_EQ(doc.ReadString(u"a", u"Tagnames", u"dflt", 100), u"dflt");
}

TEST(ProfileDocument, MatchingQuotesAreStripped) {
  const auto doc = ProfileDocument::Parse(u"[a]\nq=\"a;b\"\ns='x'\nhalf=\"abc\nmixed=\"abc'\nempty=\"\"\none=\"\n");
  EXPECT_EQ(doc.ReadString(u"a", u"q", u"", 100), u"a;b");
  EXPECT_EQ(doc.ReadString(u"a", u"s", u"", 100), u"x");
  EXPECT_EQ(doc.ReadString(u"a", u"half", u"", 100), u"\"abc");
  EXPECT_EQ(doc.ReadString(u"a", u"mixed", u"", 100), u"\"abc'");
  EXPECT_EQ(doc.ReadString(u"a", u"empty", u"", 100), u"");
  EXPECT_EQ(doc.ReadString(u"a", u"one", u"", 100), u"\"");
}

TEST(ProfileDocument, LongValuesAreCutToTheBuffer) {
  const auto doc = ProfileDocument::Parse(u"[a]\nk=abcdef\n");
  EXPECT_EQ(doc.ReadString(u"a", u"k", u"", 4), u"abc");
}

TEST(ProfileDocument, CarriageReturnsAndEndOfFileMarksAreBlanks) {
  const auto doc = ProfileDocument::Parse(u"[a]\r\nk = v \x1a\r\n");
  EXPECT_EQ(doc.ReadString(u"a", u"k", u"", 100), u"v");
}

TEST(ProfileDocument, IntegersAreReadAsTheSystemReadsThem) {
  const auto doc = ProfileDocument::Parse(
      u"[a]\none=1\nlead=1abc\nsp= 2\nhex=0x1A\nHEX=0X1A\nword=abc\nneg=-1\nempty=\nbin=0b101\noct=0o17\nplus=+7\n");
  EXPECT_EQ(doc.ReadInt(u"a", u"one", 9), 1);
  EXPECT_EQ(doc.ReadInt(u"a", u"lead", 9), 1);
  EXPECT_EQ(doc.ReadInt(u"a", u"sp", 9), 2);
  EXPECT_EQ(doc.ReadInt(u"a", u"hex", 9), 26);
  EXPECT_EQ(doc.ReadInt(u"a", u"HEX", 9), 26);  // key names ignore case: this is "hex" again
  EXPECT_EQ(doc.ReadInt(u"a", u"word", 9), 0);
  EXPECT_EQ(doc.ReadInt(u"a", u"neg", 9), -1);
  EXPECT_EQ(doc.ReadInt(u"a", u"empty", 9), 9);
  EXPECT_EQ(doc.ReadInt(u"a", u"missing", 9), 9);
  EXPECT_EQ(doc.ReadInt(u"a", u"bin", 9), 5);
  EXPECT_EQ(doc.ReadInt(u"a", u"oct", 9), 15);
  EXPECT_EQ(doc.ReadInt(u"a", u"plus", 9), 7);
  EXPECT_EQ(calsvar::ReadLeadingInteger(u"0X1A"), 0);
  EXPECT_EQ(calsvar::ReadLeadingInteger(u"4294967297"), 1);
}

TEST(DecodeProfileBytes, HonoursByteOrderMarksAndElseUsesTheAnsiCodePage) {
  const cals::Cp1252Codec ansi;
  EXPECT_EQ(calsvar::DecodeProfileBytes("\xEF\xBB\xBF[\xC3\xA9]", ansi), u"[\u00e9]");
  EXPECT_EQ(calsvar::DecodeProfileBytes(std::string("\xFF\xFE[\0a\0]\0", 8), ansi), u"[a]");
  EXPECT_EQ(calsvar::DecodeProfileBytes(std::string("\xFE\xFF\0[\0a\0]", 8), ansi), u"[a]");
  EXPECT_EQ(calsvar::DecodeProfileBytes("[\xE9\x80]", ansi), u"[\u00e9\u20ac]");
  EXPECT_EQ(calsvar::DecodeProfileBytes("\xEF\xBB\xBF\xFFok", ansi), u"\uFFFDok");
}

}  // namespace
