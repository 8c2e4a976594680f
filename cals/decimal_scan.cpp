#include "cals/decimal_scan.h"

#include <limits>

namespace cals {
namespace {

bool IsScanSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<std::int32_t> ScanDecimal(std::u16string_view text, std::size_t& pos) {
  while (pos < text.size() && IsScanSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;

  // Accumulate the magnitude in 64 bits and stop growing once it is past
  // the 32-bit range; the remaining digits are still consumed.
  constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (magnitude < kCap) magnitude = magnitude * 10 + (text[pos] - u'0');
    ++pos;
  }
  if (negative) {
    return magnitude >= kCap ? std::numeric_limits<std::int32_t>::min()
                             : static_cast<std::int32_t>(-magnitude);
  }
  return magnitude >= kCap ? std::numeric_limits<std::int32_t>::max()
                           : static_cast<std::int32_t>(magnitude);
}

ScannedPair ScanDecimalPair(std::u16string_view text, char16_t separator) {
  ScannedPair result;
  std::size_t pos = 0;
  result.first = ScanDecimal(text, pos);
  if (!result.first || pos >= text.size() || text[pos] != separator) return result;
  ++pos;
  result.second = ScanDecimal(text, pos);
  return result;
}

}  // namespace cals
