#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "convert/format_date.h"
#include "tests/convert/narrow_text.h"

namespace {

using convert::FormatDate;

// 5 March 2024 13:52:30.
constexpr double kSample = 45356.578125;
constexpr double kOutOfRange[] = {-657435.0, 2958466.0, 1e300, -1e300,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};

std::string Render(double date, std::int32_t style) {
  Str out(u"untouched");
  EXPECT_TRUE(FormatDate(out, date, style)) << "date " << date << " style " << style;
  return Narrow(out.text());
}

struct StyleCase {
  std::int32_t code;
  const char* expected;
};

TEST(FormatDate, EveryStyleOfTheTable) {
  const StyleCase cases[] = {
      {0, "Mar 05 2024 01:52 PM"},
      {100, "Mar 05 2024 01:52 PM"},
      {1, "03/05/24"},
      {2, "24.03.05"},
      {3, "05/03/24"},
      {4, "05.03.24"},
      {5, "05-03-24"},
      {6, "05 Mar 24"},
      {7, "Mar 05, 24"},
      {10, "03-05-24"},
      {11, "24/03/05"},
      {12, "240305"},
      {101, "03/05/2024"},
      {102, "2024.03.05"},
      {103, "05/03/2024"},
      {104, "05.03.2024"},
      {105, "05-03-2024"},
      {106, "05 Mar 2024"},
      {107, "Mar 05, 2024"},
      {109, "Mar 05 2024 01:52:30:000 PM"},
      {110, "03-05-2024"},
      {111, "2024/03/05"},
      {112, "20240305"},
      {113, "05 Mars 2024 13:52:30:000"},
      {120, "2024-03-05"},
      {121, "2024-03-05 13:52:30.000"},
  };
  for (const StyleCase& c : cases) {
    EXPECT_EQ(Render(kSample, c.code), c.expected) << "style " << c.code;
  }
}

TEST(FormatDate, UnknownCodesRenderAsStyle113) {
  const std::int32_t codes[] = {8,   9,   13,  14,  20,  99,  108, 114, 119, 122, 200, -1,
                                std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max()};
  for (std::int32_t code : codes) {
    EXPECT_EQ(Render(kSample, code), "05 Mars 2024 13:52:30:000") << "style " << code;
  }
}

TEST(FormatDate, TwelveHourClockKeepsNoonAndMidnightHours) {
  const struct {
    double date;
    std::int32_t code;
    const char* expected;
  } cases[] = {
      {2.0, 0, "Jan 01 1900 00:00 AM"},
      {45356.0, 0, "Mar 05 2024 00:00 AM"},
      {45356.5, 0, "Mar 05 2024 12:00 AM"},
      {45356.03125, 0, "Mar 05 2024 00:45 AM"},
      {45356.75, 0, "Mar 05 2024 06:00 PM"},
      {45356.75, 100, "Mar 05 2024 06:00 PM"},
      {38625.96875, 109, "Sep 30 2005 11:15:00:000 PM"},
      {45356.5, 109, "Mar 05 2024 12:00:00:000 AM"},
      {45356.75, 113, "05 Mars 2024 18:00:00:000"},
      {45356.75, 121, "2024-03-05 18:00:00.000"},
      {45356.75, 120, "2024-03-05"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Render(c.date, c.code), c.expected) << "date " << c.date << " style " << c.code;
  }
}

TEST(FormatDate, YearsArePaddedAndCutToTheStyle) {
  const struct {
    double date;
    std::int32_t code;
    const char* expected;
  } cases[] = {
      {38537.0, 1, "07/04/05"},           // 4 July 2005
      {36526.0, 1, "01/01/00"},           // 1 January 2000
      {36525.0, 1, "12/31/99"},           // 31 December 1999
      {-346813.0, 111, "0950/06/15"},     // 15 June 950
      {-346813.0, 11, "50/06/15"},
      {-346813.25, 121, "0950-06-15 06:00:00.000"},
      {-657434.0, 112, "01000101"},       // 1 January 100, the first date
      {2958465.0, 103, "31/12/9999"},     // the last date
      {2958465.999999, 121, "10000-01-01 00:00:00.000"},  // rounds into the next day
      {-5.25, 113, "25 December 1899 06:00:00:000"},       // the fraction of a negative date is its time of day
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Render(c.date, c.code), c.expected) << "date " << c.date << " style " << c.code;
  }
}

TEST(FormatDate, MonthNames) {
  // The 15th of each month of 2024.
  const double days[12] = {45306, 45337, 45366, 45397, 45427, 45458, 45488, 45519, 45550, 45580, 45611, 45641};
  const char* full[12] = {"January", "February", "Mars", "April", "May", "June",
                          "July", "August", "September", "October", "November", "December"};
  const char* brief[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 0; m < 12; ++m) {
    EXPECT_EQ(Render(days[m], 113), std::string("15 ") + full[m] + " 2024 00:00:00:000");
    EXPECT_EQ(Render(days[m], 106), std::string("15 ") + brief[m] + " 2024");
  }
}

TEST(FormatDate, DateOutsideTheCalendarRendersMinusOne) {
  const StyleCase cases[] = {
      {101, "-1/-1/-001"},
      {0, " -1 -001 -1:-1 AM"},
      {109, " -1 -001 -1:-1:-1:000 AM"},
      {113, "-1  -001 -1:-1:-1:000"},
      {8, "-1  -001 -1:-1:-1:000"},
      {1, "-1/-1/-1"},
      {121, "-001--1--1 -1:-1:-1.000"},
  };
  for (double date : kOutOfRange) {
    for (const StyleCase& c : cases) {
      EXPECT_EQ(Render(date, c.code), c.expected) << "date " << date << " style " << c.code;
    }
  }
}

TEST(FormatDate, ZeroIsDeclinedAndLeavesTheOutputAlone) {
  for (double zero : {0.0, -0.0}) {
    for (std::int32_t code : {0, 101, 113, 8, -1}) {
      Str out(u"kept");
      EXPECT_FALSE(FormatDate(out, zero, code)) << "signbit " << std::signbit(zero) << " style " << code;
      EXPECT_EQ(Narrow(out.text()), "kept");
    }
  }
  // The smallest dates that are not zero are rendered.
  EXPECT_EQ(Render(std::numeric_limits<double>::denorm_min(), 120), "1899-12-30");
  EXPECT_EQ(Render(-std::numeric_limits<double>::denorm_min(), 120), "1899-12-30");
}

}  // namespace
