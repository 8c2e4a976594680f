// What "%d-%d" and "%d,%d" accept, including the corners of scanf: white
// space only before numbers, one sign, the separator directly after the
// first number, and numbers outside the 32-bit range.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "cals/decimal_scan.h"
#include "cals/sub_tag_layout.h"
#include "tests/support/printable_name.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct RangeCase {
  const char16_t* entry;
  std::int32_t first;
  std::int32_t last;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << testing_support::PrintableName(c.entry); }

class PositionRangeReading : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PositionRangeReading, MatchesTheScanfPattern) {
  const cals::PositionRange range = cals::ParsePositionRange(GetParam().entry);
  EXPECT_EQ(range.first, GetParam().first);
  EXPECT_EQ(range.last, GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PositionRangeReading,
    ::testing::Values(RangeCase{u"1-3", 1, 3}, RangeCase{u"  1-3", 1, 3}, RangeCase{u"\t\r\n\v\f1-3", 1, 3},
                      RangeCase{u"1- 3", 1, 3}, RangeCase{u"1-\t3", 1, 3},
                      RangeCase{u"1 -3", 1, -1},  // the minus sign must follow directly
                      RangeCase{u"+1-+3", 1, 3}, RangeCase{u"-4--2", -4, -2}, RangeCase{u"5--3", 5, -3},
                      RangeCase{u"007-010", 7, 10},  // decimal, not octal
                      RangeCase{u"1-3xyz", 1, 3}, RangeCase{u"1-3-5", 1, 3}, RangeCase{u"12", 12, -1},
                      RangeCase{u"12-", 12, -1}, RangeCase{u"12-x", 12, -1}, RangeCase{u"12-+", 12, -1},
                      RangeCase{u"0x10-3", 0, -1}, RangeCase{u"", -1, -1}, RangeCase{u"  ", -1, -1},
                      RangeCase{u"-", -1, -1}, RangeCase{u"+-1-3", -1, -1}, RangeCase{u"- 1-3", -1, -1},
                      RangeCase{u"x1-3", -1, -1}, RangeCase{u"\u00A01-3", -1, -1},  // not a "C" space
                      RangeCase{u"\uFF11-3", -1, -1},                                  // full-width digit
                      RangeCase{u"2147483647-2147483647", kMax, kMax},
                      RangeCase{u"2147483648-1", kMax, 1}, RangeCase{u"1-99999999999999999999", 1, kMax},
                      RangeCase{u"-2147483648-0", kMin, 0}, RangeCase{u"-99999999999-5", kMin, 5}));

TEST(DecimalPair, StopsAtTheFirstMismatch) {
  const auto both = cals::ScanDecimalPair(u"001728,002200", u',');
  EXPECT_EQ(both.first, 1728);
  EXPECT_EQ(both.second, 2200);

  const auto noFirst = cals::ScanDecimalPair(u",2200", u',');
  EXPECT_EQ(noFirst.first, std::nullopt);
  EXPECT_EQ(noFirst.second, std::nullopt);

  const auto spaceBeforeComma = cals::ScanDecimalPair(u"1728 ,2200", u',');
  EXPECT_EQ(spaceBeforeComma.first, 1728);
  EXPECT_EQ(spaceBeforeComma.second, std::nullopt);
}

TEST(DecimalScan, AdvancesPastWhatItRead) {
  std::size_t pos = 0;
  EXPECT_EQ(cals::ScanDecimal(u"  -42abc", pos), -42);
  EXPECT_EQ(pos, 5u);
}

}  // namespace
