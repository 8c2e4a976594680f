#include <gtest/gtest.h>

#include "cals/text_rules.h"

namespace {

using cals::IsWhiteSpace;
using cals::ToLower;

TEST(WhiteSpace, CoversAsciiControlsAndUnicodeSpaces) {
  for (char16_t c : {u' ', u'\t', u'\n', u'\v', u'\f', u'\r', char16_t{0x85}, char16_t{0xA0}, char16_t{0x2003},
                     char16_t{0x3000}}) {
    EXPECT_TRUE(IsWhiteSpace(c)) << static_cast<int>(c);
  }
  for (char16_t c : {u'\0', u'a', u'_', char16_t{0x08}, char16_t{0x0E}, char16_t{0x1F}, char16_t{0x84},
                     char16_t{0x200B}, char16_t{0xFEFF}}) {
    EXPECT_FALSE(IsWhiteSpace(c)) << static_cast<int>(c);
  }
}

TEST(WhiteSpace, TrimKeepsInnerSpaces) {
  EXPECT_EQ(cals::Trim(u" \t\r\n a  b \v\f\u00A0"), u"a  b");
  EXPECT_EQ(cals::TrimRight(u"  a  "), u"  a");
  EXPECT_EQ(cals::Trim(u" \t "), u"");
}

struct LowerCase {
  char16_t upper;
  char16_t lower;
};

void PrintTo(const LowerCase& c, std::ostream* os) {
  *os << "U+" << std::hex << static_cast<unsigned>(c.upper);
}

class LowerCasing : public ::testing::TestWithParam<LowerCase> {};

TEST_P(LowerCasing, MapsOneCharacterToOne) { EXPECT_EQ(ToLower(GetParam().upper), GetParam().lower); }

INSTANTIATE_TEST_SUITE_P(
    AsciiLatin1AndExtendedA, LowerCasing,
    ::testing::Values(LowerCase{u'A', u'a'}, LowerCase{u'Z', u'z'}, LowerCase{u'a', u'a'}, LowerCase{u'@', u'@'},
                      LowerCase{u'[', u'['}, LowerCase{0xC0, 0xE0}, LowerCase{0xDE, 0xFE},
                      LowerCase{0xD7, 0xD7},   // multiplication sign
                      LowerCase{0xDF, 0xDF},   // sharp s has no single upper case
                      LowerCase{0x100, 0x101}, LowerCase{0x101, 0x101}, LowerCase{0x130, u'i'},
                      LowerCase{0x131, 0x131}, LowerCase{0x139, 0x13A}, LowerCase{0x13A, 0x13A},
                      LowerCase{0x147, 0x148}, LowerCase{0x14A, 0x14B}, LowerCase{0x152, 0x153},
                      LowerCase{0x160, 0x161}, LowerCase{0x178, 0xFF}, LowerCase{0x17D, 0x17E},
                      LowerCase{0x17F, 0x17F}, LowerCase{0x391, 0x391}));

TEST(LowerCasing, IsIdempotentOverTheWholeRange) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const char16_t once = ToLower(static_cast<char16_t>(c));
    ASSERT_EQ(ToLower(once), once) << static_cast<int>(c);
  }
}

}  // namespace
