#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "convert/ole_date.h"

namespace {

using convert::CalendarFields;
using convert::OleDateToFields;

constexpr double kSecond = 1.0 / 86400.0;

struct KnownPoint {
  const char* what;
  double date;
  CalendarFields expected;
};

void ExpectFields(const CalendarFields& f, const CalendarFields& e, const char* what) {
  EXPECT_EQ(f.year, e.year) << what;
  EXPECT_EQ(f.month, e.month) << what;
  EXPECT_EQ(f.day, e.day) << what;
  EXPECT_EQ(f.hour, e.hour) << what;
  EXPECT_EQ(f.minute, e.minute) << what;
  EXPECT_EQ(f.second, e.second) << what;
}

TEST(OleDateToFields, KnownPoints) {
  const KnownPoint points[] = {
      {"day 2", 2.0, {1900, 1, 1, 0, 0, 0}},
      {"noon of day 2", 2.5, {1900, 1, 1, 12, 0, 0}},
      {"sample", 45356.578125, {2024, 3, 5, 13, 52, 30}},
      {"no 29 February 1900", 60.0, {1900, 2, 28, 0, 0, 0}},
      {"1 March 1900", 61.0, {1900, 3, 1, 0, 0, 0}},
      {"leap day 2024", 45351.0, {2024, 2, 29, 0, 0, 0}},
      {"leap day 2000", 36585.0, {2000, 2, 29, 0, 0, 0}},
      {"leap day 1600", -109512.0, {1600, 2, 29, 0, 0, 0}},
      {"proleptic Gregorian, no Julian gap", -115869.0, {1582, 10, 4, 0, 0, 0}},
      {"the day after", -115868.0, {1582, 10, 5, 0, 0, 0}},
      {"negative fraction is the time of day", -5.25, {1899, 12, 25, 6, 0, 0}},
      {"-0.25 is day 0", -0.25, {1899, 12, 30, 6, 0, 0}},
      {"0.25 is the same", 0.25, {1899, 12, 30, 6, 0, 0}},
      {"first accepted day", -657434.0, {100, 1, 1, 0, 0, 0}},
      {"late on the first day", -657434.999, {100, 1, 1, 23, 58, 34}},
      {"last day", 2958465.0, {9999, 12, 31, 0, 0, 0}},
      {"last second", 2958465.0 + 86399 * kSecond, {9999, 12, 31, 23, 59, 59}},
  };
  for (const KnownPoint& p : points) {
    CalendarFields f;
    EXPECT_TRUE(OleDateToFields(p.date, f)) << p.what;
    ExpectFields(f, p.expected, p.what);
  }
}

TEST(OleDateToFields, FractionsOfASecondRoundAtOneHalf) {
  const KnownPoint points[] = {
      {"exactly half a second rounds up", 2.0 + 0.5 * kSecond, {1900, 1, 1, 0, 0, 1}},
      {"below half a second stays", 2.0 + 0.49 * kSecond, {1900, 1, 1, 0, 0, 0}},
      {"a hair below the whole second", 2.0 + 7 * kSecond - 1e-12, {1900, 1, 1, 0, 0, 7}},
      {"into the next minute", 2.0 + 59.7 * kSecond, {1900, 1, 1, 0, 1, 0}},
      {"into the next day", 3.0 - 0.4 * kSecond, {1900, 1, 2, 0, 0, 0}},
      {"just short of the carry", 3.0 - 0.6 * kSecond, {1900, 1, 1, 23, 59, 59}},
      {"negative dates carry forward", -(1.0 - 0.4 * kSecond), {1899, 12, 31, 0, 0, 0}},
      {"end of the first day carries", std::nextafter(-657435.0, 0.0), {100, 1, 2, 0, 0, 0}},
      {"end of the range carries into year 10000", 2958465.999999, {10000, 1, 1, 0, 0, 0}},
      {"last double below the limit", std::nextafter(2958466.0, 0.0), {10000, 1, 1, 0, 0, 0}},
  };
  for (const KnownPoint& p : points) {
    CalendarFields f;
    EXPECT_TRUE(OleDateToFields(p.date, f)) << p.what;
    ExpectFields(f, p.expected, p.what);
  }
}

TEST(OleDateToFields, RejectsDatesOutsideTheRangeWithMinusOne) {
  const double rejected[] = {-657435.0, -657435.5, -1e9, 2958466.0, std::nextafter(2958466.0, 3e6), 1e308,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
  for (double date : rejected) {
    CalendarFields f{2024, 3, 5, 13, 52, 30};
    EXPECT_FALSE(OleDateToFields(date, f)) << date;
    ExpectFields(f, CalendarFields{}, "rejected");
    EXPECT_EQ(f.year, -1);
  }
}

}  // namespace
