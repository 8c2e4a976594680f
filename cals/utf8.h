// UTF-16 to UTF-8, for handing paths to POSIX file functions.
#pragma once

#include <string>
#include <string_view>

namespace cals {

// A lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace cals
