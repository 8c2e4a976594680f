// Header bytes as the common CALS readers match them: byte by byte, with
// ASCII rules whatever the code page, since they look for record names and
// numbers, not for text.
#pragma once

#include <algorithm>
#include <string_view>

namespace cals::ascii {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
constexpr bool IsBlankOrLineBreak(char c) { return IsBlank(c) || IsLineBreak(c); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` without the characters at its ends for which `strip` holds.
constexpr std::string_view Trim(std::string_view text, bool (*strip)(char) = IsBlank) {
  while (!text.empty() && strip(text.front())) text.remove_prefix(1);
  while (!text.empty() && strip(text.back())) text.remove_suffix(1);
  return text;
}

// Lower(text) == lower, for a `lower` already in lower case.
constexpr bool LowerEquals(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() &&
         std::equal(text.begin(), text.end(), lower.begin(), [](char a, char b) { return Lower(a) == b; });
}

// One or more digits and nothing else.
constexpr bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

}  // namespace cals::ascii
