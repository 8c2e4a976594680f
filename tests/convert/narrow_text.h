// Test helper: UTF-16 text as a std::string, so that failures print
// readably. Every text these tests compare is ASCII; anything else shows
// as '?'.
#pragma once

#include <string>
#include <string_view>

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}
