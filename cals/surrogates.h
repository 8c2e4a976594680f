// UTF-16 surrogates: where text may be cut and where a character takes two
// code units.
#pragma once

#include <cstddef>
#include <string_view>

namespace cals {

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when a high and a low surrogate start at `at`: one character in two
// units. Lone halves are not pairs.
constexpr bool IsSurrogatePairAt(std::u16string_view text, std::size_t at) {
  return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]);
}

// The code point of a pair that IsSurrogatePairAt accepted.
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
  return 0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
}

}  // namespace cals
