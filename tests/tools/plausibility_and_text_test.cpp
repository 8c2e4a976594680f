// What calsvar will not write into, and how it shows values and characters.
#include <gtest/gtest.h>

#include <string>
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

TEST(ValueText, OneLinePerVariableAndCharactersNamed) {
  EXPECT_EQ(calsvar::EscapedForLine(u"a\\b\tc\r\nd"), "a\\\\b\\tc\\r\\nd");
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
