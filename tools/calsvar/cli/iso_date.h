// Dates given on the command line, YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS, as
// OLE automation dates: days since 30 December 1899, the fraction giving
// the time of day (before 1899-12-30 the fraction still counts forward
// from midnight, so the value is the day number minus the fraction).
#pragma once

#include <optional>
#include <string_view>

namespace calsvar {

// Empty for text that is not such a date, or names no real day or time
// (month 13, 30 February, 24:00:00), or a year outside 100 to 9999.
std::optional<double> ParseIsoDate(std::u16string_view text);

}  // namespace calsvar
