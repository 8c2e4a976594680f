// Text for output: UTF-8 from the UTF-16 of the Windows API (wchar_t) and
// of the portable parts (char16_t), and the copies between those two.
#pragma once

#include <string>
#include <string_view>

#include "cals/utf8.h"
#include "cals/win_utf16.h"

namespace calsvar {

using cals::ToUtf16;
using cals::ToWide;

inline std::string Utf8(std::u16string_view text) { return cals::ToUtf8(text); }
inline std::string Utf8(std::wstring_view text) { return Utf8(ToUtf16(text)); }

}  // namespace calsvar
