// Reading numbers the way the C library's scanf patterns "%d-%d" and
// "%d,%d" read them, so that the tag configuration and the rpelcnt record
// mean the same as they always have, without handing file text to scanf.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cals {

// One "%d": skips space, tab, line feed, vertical tab, form feed and
// carriage return (the "C" locale's white space), takes one optional sign
// and then at least one ASCII digit. Numbers beyond the 32-bit range are
// held at INT32_MIN or INT32_MAX. Advances `pos` past what was read; on
// failure the result is empty and `pos` is unspecified.
std::optional<std::int32_t> ScanDecimal(std::u16string_view text, std::size_t& pos);

struct ScannedPair {
  std::optional<std::int32_t> first;
  std::optional<std::int32_t> second;
};

// "%d<separator>%d": the separator must follow the first number directly;
// the second number may be preceded by white space. Reading stops at the
// first mismatch, so when the first number is missing the second is never
// looked for.
ScannedPair ScanDecimalPair(std::u16string_view text, char16_t separator);

}  // namespace cals
