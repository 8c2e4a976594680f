// The host's date styles: for each style code, the format and which date
// values fill it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace convert {

// The values a style can print, derived from the calendar fields.
enum class DateValue : std::uint8_t {
  Year,           // four-digit year
  YearOfCentury,  // two-digit year
  Month,
  Day,
  Hour,    // 0..23
  Hour12,  // hour minus 12 after noon: 0 stays 0, 12 stays 12
  Minute,
  Second,
  ShortMonthName,
  FullMonthName,
  Meridiem,  // "PM" after noon, "AM" up to and including noon
};

struct DateStyle {
  std::array<std::int32_t, 2> codes;  // the same code twice when only one
  const char16_t* format;
  std::array<DateValue, 7> values;
  std::size_t valueCount;
};

// The row of `code`; a code in no row renders as style 113.
const DateStyle& FindDateStyle(std::int32_t code);

}  // namespace convert
