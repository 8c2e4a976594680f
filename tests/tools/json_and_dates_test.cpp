// JSON strings for any header text, and command-line dates as automation
// dates.
#include <gtest/gtest.h>

#include "tools/calsvar/cli/iso_date.h"
#include "tools/calsvar/output/json_writer.h"

namespace {

using calsvar::JsonString;
using calsvar::ParseIsoDate;

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
  EXPECT_EQ(JsonString(u"a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString(u"tab\there\nnew\r"), "\"tab\\there\\nnew\\r\"");
  EXPECT_EQ(JsonString(std::u16string(u"nul\0x", 5)), "\"nul\\u0000x\"");
  EXPECT_EQ(JsonString(u"\x1f\x7f\u009b"), "\"\\u001f\\u007f\\u009b\"");
}

TEST(JsonString, WritesUtf8ForLatinAndAstralCharacters) {
  EXPECT_EQ(JsonString(u"\u00e9\u20ac"), "\"\xc3\xa9\xe2\x82\xac\"");
  EXPECT_EQ(JsonString(u"\U0001F600"), "\"\xf0\x9f\x98\x80\"");
}

TEST(JsonString, KeepsUnpairedSurrogatesAsEscapes) {
  EXPECT_EQ(JsonString(std::u16string(1, char16_t{0xD800}) + u"x"), "\"\\ud800x\"");
  EXPECT_EQ(JsonString(std::u16string(1, char16_t{0xDC00})), "\"\\udc00\"");
}

TEST(JsonWriter, PutsCommasBetweenMembersAndElements) {
  calsvar::JsonWriter json;
  json.BeginObject().Key("file").String(u"a.cal").Key("variables").BeginArray();
  json.BeginObject().Key("name").String(u"x").Key("found").Bool(true).EndObject();
  json.BeginObject().Key("name").String(u"y").Key("found").Bool(false).Key("n").Number(-3).EndObject();
  json.EndArray().Key("note").Utf8String("say \"hi\"\n").EndObject();
  EXPECT_EQ(json.text(),
            "{\"file\": \"a.cal\", \"variables\": [{\"name\": \"x\", \"found\": true}, "
            "{\"name\": \"y\", \"found\": false, \"n\": -3}], \"note\": \"say \\\"hi\\\"\\u000a\"}");
}

TEST(IsoDate, GivesAutomationDates) {
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"1899-12-30"), 0.0);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"1900-01-01"), 2.0);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"2024-03-05"), 45356.0);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"2024-03-05T12:00:00"), 45356.5);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"2005-09-30T23:15:00"), 38625.96875);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"0100-01-01"), -657434.0);
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"9999-12-31"), 2958465.0);
}

TEST(IsoDate, BeforeTheEpochTheFractionStillCountsFromMidnight) {
  // 25 December 1899 06:00 is day -5 and a quarter of a day: -5.25.
  EXPECT_DOUBLE_EQ(*ParseIsoDate(u"1899-12-25T06:00:00"), -5.25);
}

TEST(IsoDate, LeapDaysFollowTheGregorianRules) {
  EXPECT_TRUE(ParseIsoDate(u"2024-02-29"));
  EXPECT_TRUE(ParseIsoDate(u"2000-02-29"));
  EXPECT_FALSE(ParseIsoDate(u"1900-02-29"));
  EXPECT_FALSE(ParseIsoDate(u"2023-02-29"));
}

TEST(IsoDate, RefusesWhatIsNoRealDayOrTime) {
  for (const char16_t* text : {u"", u"2024-3-5", u"2024-13-01", u"2024-00-10", u"2024-04-31", u"2024-03-05T24:00:00",
                               u"2024-03-05T10:60:00", u"2024-03-05 10:00:00", u"2024-03-05T10:00", u"0099-12-31",
                               u"2024/03/05", u"2024-03-05T10:00:00Z", u"２０２４-03-05"}) {
    EXPECT_FALSE(ParseIsoDate(text)) << std::u16string(text).size();
  }
}

}  // namespace
