// The month names the date styles print.
#pragma once

namespace convert {

// Full and short name of month 1..12 ("Mars" is the full name of month 3);
// empty text for any other number.
const char16_t* FullMonthName(int month);
const char16_t* ShortMonthName(int month);

}  // namespace convert
