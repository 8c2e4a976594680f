// UTF-16 text between the Windows API (wchar_t) and the portable parts
// (char16_t), and UTF-8 for output.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "cals/utf8.h"

namespace calsvar {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::u16string ToU16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }
inline std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::string Utf8(std::wstring_view text) { return cals::ToUtf8(ToU16(text)); }
inline std::string Utf8(std::u16string_view text) { return cals::ToUtf8(text); }

}  // namespace calsvar
