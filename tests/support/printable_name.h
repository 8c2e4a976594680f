// Short, stable names for parameterised test cases: ctest shows the printed
// parameter as part of each test's name, so it must hold only characters
// that survive CMake lists and shell patterns.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace testing_support {

// Letters, digits and "+-,." stay; a space becomes "_"; anything else
// becomes "x" and its hexadecimal code.
inline std::string PrintableName(std::u16string_view text) {
  if (text.empty()) return "empty";
  std::string out;
  for (const char16_t c : text) {
    const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                       c == u'+' || c == u'-' || c == u',' || c == u'.';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else if (c == u' ') {
      out.push_back('_');
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "x%X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  return out;
}

inline std::string PrintableName(std::string_view bytes) {
  std::u16string widened;
  for (const char c : bytes) widened.push_back(static_cast<unsigned char>(c));
  return PrintableName(widened);
}

}  // namespace testing_support
