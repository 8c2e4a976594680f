// Whether text can be written into a header: the plug-in converts it to the
// system ANSI code page, where a character without a place silently
// becomes the code page's default character ("?").
#pragma once

#include <string>
#include <string_view>

namespace calsvar {

// Empty when every character has a place of its own in the system ANSI
// code page (no best-fit look-alikes); else which character has none.
std::string WhyNotInAnsiCodePage(std::u16string_view text);

}  // namespace calsvar
