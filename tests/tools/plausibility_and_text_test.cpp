// What calsvar will not write into, and how it shows values and characters.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/header_rig.h"
#include "tools/calsvar/cli/date_style_help.h"
#include "tools/calsvar/writing/header_plausibility.h"
#include "tools/calsvar/output/value_text.h"

namespace {

using calsvar::WhyNotCalsLooking;

TEST(CalsLooking, TellsHeadersFromOtherFiles) {
  const auto header = [](std::vector<std::string> records, unsigned char fill = ' ') {
    return testing_support::MakeHeaderFile(records, fill);
  };
  const struct {
    testing_support::Bytes bytes;
    const char* why;  // empty: looks like a header
  } cases[] = {
      {header({"srcdocid: A", "rpelcnt: 001728,002200"}), ""},
      {header({"RPELCNT :  800 , 600\r\n", "notes: a\tb"}), ""},
      {header({"rpelcnt: 1,2"}, 0), ""},  // NUL padding
      {header({"notes: x", "rpelcnt: 1,2", std::string("srcdocid: \x1a", 11)}), "byte 266 is 0x1A"},
      {header({"hello world"}), "no record \"rpelcnt\" with two numbers"},
      {header({"rpelcnt: 001728"}), "no record \"rpelcnt\""},
      {header({"rpelcnt: abc,002200"}), "no record \"rpelcnt\""},
      {header({"\x89PNG\r\n\x1a\n"}), "byte 6 is 0x1A"},
  };
  for (const auto& c : cases) {
    const std::string why = WhyNotCalsLooking(c.bytes);
    if (*c.why == '\0') {
      EXPECT_EQ(why, "");
    } else {
      EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
  }
  // Only the records that a save rewrites count.
  auto bytes = header({"rpelcnt: 1,2"});
  bytes[1500] = 0x01;
  EXPECT_EQ(WhyNotCalsLooking(bytes), "");
}

// get --name judges from the plug-in's answers what the bytes would tell.
TEST(CalsLooking, JudgesFromTheValuesAsked) {
  using Values = std::vector<std::pair<std::u16string, std::u16string>>;
  const struct {
    std::optional<std::u16string> pictureSize;
    Values values;
    const char* why;  // empty: looks like a header
  } cases[] = {
      {u"001728,002200", {{u"notes", u"a\tb\r\n"}}, ""},
      {u" 800 , 600", {}, ""},
      {std::nullopt, {{u"notes", u"x"}}, "no record \"rpelcnt\" with two numbers"},
      {u"001728", {}, "no record \"rpelcnt\""},
      {u"1728,2200x", {}, "no record \"rpelcnt\""},
      {u"\u0661,2", {}, "no record \"rpelcnt\""},  // an Arabic-Indic digit is no digit here
      {u"1,2", {{u"notes", u"\x1b[2J"}}, "\"notes\" holds 0x1B, a control character"},
  };
  for (const auto& c : cases) {
    const std::string why = calsvar::WhyValuesNotCalsLooking(c.pictureSize, c.values);
    if (*c.why == '\0') {
      EXPECT_EQ(why, "");
    } else {
      EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
  }
}

TEST(ValueText, OneLinePerVariableAndCharactersNamed) {
  EXPECT_EQ(calsvar::EscapedForLine(u"a\\b\tc\r\nd"), "a\\\\b\\tc\\r\\nd");
  // Nothing that drives a terminal: ESC, BEL, DEL, the C1 controls.
  EXPECT_EQ(calsvar::EscapedForLine(u"\x1b[31mred\x07\x7f\u009b\u00a0\u00e9"),
            "\\x1B[31mred\\x07\\x7F\\x9B\xc2\xa0\xc3\xa9");
  EXPECT_EQ(calsvar::WithoutTerminalControls("p\x1b]0;t\x07\tq\n\r\xc2\x9d\xc2\xa0\xc3\xa9"),
            "p\\x1B]0;t\\x07\tq\n\\x0D\\x9D\xc2\xa0\xc3\xa9");
  EXPECT_EQ(calsvar::QuotedForMessage(u"say \"hi\"\n"), "\"say \\\"hi\\\"\\n\"");
  EXPECT_EQ(calsvar::FirstControlCharacter(u"ok\x7f"), 2u);
  EXPECT_FALSE(calsvar::FirstControlCharacter(u"caf\u00e9"));
  EXPECT_EQ(calsvar::CharacterForMessage(u"x\u0142", 1), "'\xc5\x82' (U+0142)");
  EXPECT_EQ(calsvar::CharacterForMessage(u"\U0001F600", 0), "'\xf0\x9f\x98\x80' (U+1F600)");
  EXPECT_EQ(calsvar::CharacterForMessage(u"\r", 0), "a carriage return (U+000D)");
}

TEST(DateStyles, OnlyThoseWithARenderingOfTheirOwnAreAccepted) {
  for (int code : {0, 100, 1, 12, 101, 109, 113, 120, 121}) EXPECT_TRUE(calsvar::IsListedDateStyle(code)) << code;
  for (int code : {-1, 8, 9, 13, 99, 108, 114, 122, 1000}) EXPECT_FALSE(calsvar::IsListedDateStyle(code)) << code;
  const std::string help = calsvar::DateStyleHelp();
  EXPECT_NE(help.find("05 Mars 2024 13:52:30:000"), std::string::npos);
  EXPECT_NE(help.find("Mar 05 2024 12:00 AM"), std::string::npos);
}

}  // namespace
