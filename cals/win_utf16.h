// The portable core keeps text as std::u16string, the Windows API takes
// wchar_t: both are UTF-16 code units, so conversion is a plain copy.
#pragma once

#include <string>
#include <string_view>

namespace cals {

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string ToUtf16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace cals
