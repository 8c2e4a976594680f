#include "convert/date_styles.h"

namespace convert {
namespace {

using enum DateValue;

// The 24-hour style that every unknown code falls back to.
constexpr DateStyle kFallback{
    {113, 113}, u"%02d %s %04d %02d:%02d:%02d:000", {Day, FullMonthName, Year, Hour, Minute, Second}, 6};

// Codes 8, 14, 20 and 108 have no row, like every code not listed, and take
// the fallback. Milliseconds are never computed: the "000" is constant text.
constexpr std::array<DateStyle, 24> kStyles{{
    {{0, 100}, u"%s %02d %04d %02d:%02d %s", {ShortMonthName, Day, Year, Hour12, Minute, Meridiem}, 6},
    {{1, 1}, u"%02d/%02d/%02d", {Month, Day, YearOfCentury}, 3},
    {{2, 2}, u"%02d.%02d.%02d", {YearOfCentury, Month, Day}, 3},
    {{3, 3}, u"%02d/%02d/%02d", {Day, Month, YearOfCentury}, 3},
    {{4, 4}, u"%02d.%02d.%02d", {Day, Month, YearOfCentury}, 3},
    {{5, 5}, u"%02d-%02d-%02d", {Day, Month, YearOfCentury}, 3},
    {{6, 6}, u"%02d %s %02d", {Day, ShortMonthName, YearOfCentury}, 3},
    {{7, 7}, u"%s %02d, %02d", {ShortMonthName, Day, YearOfCentury}, 3},
    {{10, 10}, u"%02d-%02d-%02d", {Month, Day, YearOfCentury}, 3},
    {{11, 11}, u"%02d/%02d/%02d", {YearOfCentury, Month, Day}, 3},
    {{12, 12}, u"%02d%02d%02d", {YearOfCentury, Month, Day}, 3},
    {{101, 101}, u"%02d/%02d/%04d", {Month, Day, Year}, 3},
    {{102, 102}, u"%04d.%02d.%02d", {Year, Month, Day}, 3},
    {{103, 103}, u"%02d/%02d/%04d", {Day, Month, Year}, 3},
    {{104, 104}, u"%02d.%02d.%04d", {Day, Month, Year}, 3},
    {{105, 105}, u"%02d-%02d-%04d", {Day, Month, Year}, 3},
    {{106, 106}, u"%02d %s %04d", {Day, ShortMonthName, Year}, 3},
    {{107, 107}, u"%s %02d, %04d", {ShortMonthName, Day, Year}, 3},
    {{109, 109},
     u"%s %02d %04d %02d:%02d:%02d:000 %s",
     {ShortMonthName, Day, Year, Hour12, Minute, Second, Meridiem},
     7},
    {{110, 110}, u"%02d-%02d-%04d", {Month, Day, Year}, 3},
    {{111, 111}, u"%04d/%02d/%02d", {Year, Month, Day}, 3},
    {{112, 112}, u"%04d%02d%02d", {Year, Month, Day}, 3},
    {{120, 120}, u"%04d-%02d-%02d", {Year, Month, Day}, 3},
    {{121, 121}, u"%04d-%02d-%02d %02d:%02d:%02d.000", {Year, Month, Day, Hour, Minute, Second}, 6},
}};

}  // namespace

const DateStyle& FindDateStyle(std::int32_t code) {
  for (const DateStyle& style : kStyles) {
    if (style.codes[0] == code || style.codes[1] == code) return style;
  }
  return kFallback;
}

}  // namespace convert
