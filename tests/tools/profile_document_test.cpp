// The INI reading that the configuration check relies on must answer as
// the private-profile functions do; these are the rules of Wine's reader.
#include <gtest/gtest.h>

#include "cals/cp1252_codec.h"
#include "tools/calsvar/configuration/profile_document.h"

namespace {

using calsvar::ProfileDocument;

struct StringLookup {
  const char* rule;
  std::u16string_view ini;
  std::u16string_view section;
  std::u16string_view key;
  std::u16string_view expected;
  std::u16string_view defaultValue = u"";
  std::size_t capacity = 100;
};

TEST(ProfileDocument, ReadsStringsAsThePrivateProfileFunctionsDo) {
  constexpr std::u16string_view kQuotes = u"[a]\nq=\"a;b\"\ns='x'\nhalf=\"abc\nmixed=\"abc'\nempty=\"\"\none=\"\n";
  const StringLookup lookups[] = {
      {"names match without regard to case", u"[RPelCnt]\n  TagNames =  a;b  \n", u"rpelcnt", u"Tagnames", u"a;b"},
      {"and without regard to blanks", u"[RPelCnt]\n  TagNames =  a;b  \n", u" rpelcnt ", u" tagnames ", u"a;b"},
      {"the first key of a name counts", u"[a]\nk=1\nk=2\n[A]\nk=3\nother=4\n", u"a", u"k", u"1"},
      // The second [A] is never searched, not even for keys the first lacks.
      {"the first section of a name counts", u"[a]\nk=1\nk=2\n[A]\nk=3\nother=4\n", u"a", u"other", u"dflt",
       u"dflt"},
      {"a line starting with ; is a key", u"[s]\n; Readonly=1\n;plain comment\n", u"s", u"; Readonly", u"1"},
      {"text after a value stays in it", u"[s]\nTagpositions=1-6;8-13 ; widths\n", u"s", u"Tagpositions",
       u"1-6;8-13 ; widths"},
      {"text after the last ] is dropped", u"[ rtype ]\nReadonly=1\n[rdensty] trailing words\nx=1\n", u"rdensty",
       u"x", u"1"},
      {"keys before the first section answer the empty name", u"k=early\n[]\nk=late\n", u"", u"k", u"early"},
      {"and a blank name", u"k=early\n[]\nk=late\n", u"  ", u"k", u"early"},
      {"an unclosed header is a key of the section before", u"[a]\n[b\nk=1\n", u"a", u"k", u"1"},
      {"a key without = reads as missing", u"[a]\nTagnames\nTagnames=x\n", u"a", u"Tagnames", u"dflt", u"dflt"},
      {"double quotes are stripped", kQuotes, u"a", u"q", u"a;b"},
      {"single quotes are stripped", kQuotes, u"a", u"s", u"x"},
      {"an unmatched quote stays", kQuotes, u"a", u"half", u"\"abc"},
      {"mixed quotes stay", kQuotes, u"a", u"mixed", u"\"abc'"},
      {"empty quotes give empty text", kQuotes, u"a", u"empty", u""},
      {"a lone quote stays", kQuotes, u"a", u"one", u"\""},
      {"long values are cut to the buffer", u"[a]\nk=abcdef\n", u"a", u"k", u"abc", u"", 4},
      {"carriage returns and end-of-file marks are blanks", u"[a]\r\nk = v \x1a\r\n", u"a", u"k", u"v"},
  };
  for (const StringLookup& lookup : lookups) {
    EXPECT_EQ(ProfileDocument::Parse(lookup.ini)
                  .ReadString(lookup.section, lookup.key, lookup.defaultValue, lookup.capacity),
              lookup.expected)
        << lookup.rule;
  }
}

TEST(ProfileDocument, KeepsTheLinesAndShapeOfTheFile) {
  const auto names = ProfileDocument::Parse(u"[RPelCnt]\n  TagNames =  a;b  \n");
  ASSERT_NE(names.FindKey(u"rpelcnt", u"tagnames"), nullptr);
  EXPECT_EQ(names.FindKey(u"rpelcnt", u"tagnames")->line, 2);

  const auto semicolons = ProfileDocument::Parse(u"[s]\n; Readonly=1\n;plain comment\n");
  ASSERT_EQ(semicolons.sections()[1].keys.size(), 2u);
  EXPECT_EQ(semicolons.sections()[1].keys[0].name, u"; Readonly");
  EXPECT_EQ(semicolons.ReadInt(u"s", u"Readonly", 0), 0);

  const auto trimmed = ProfileDocument::Parse(u"[ rtype ]\nReadonly=1\n[rdensty] trailing words\nx=1\n");
  EXPECT_EQ(trimmed.ReadInt(u"rtype", u"Readonly", 0), 1);
  EXPECT_EQ(trimmed.sections()[1].name, u"rtype");

  const auto unclosed = ProfileDocument::Parse(u"[a]\n[b\nk=1\n");
  EXPECT_EQ(unclosed.unclosedHeaderLines(), std::vector<int>{2});
  EXPECT_EQ(unclosed.FindSection(u"b"), nullptr);
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
