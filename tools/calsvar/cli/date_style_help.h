// The date styles that --date-style accepts, as the help shows them.
#pragma once

#include <cstdint>
#include <string>

namespace calsvar {

// Only the styles the plug-in has a rendering of its own for; any other
// number it renders as 113, which a person would not mean.
bool IsListedDateStyle(std::int32_t code);

// One line per style: the number(s), the pattern and an example rendered
// by the plug-in's own date renderer, then what is kept as it is and why.
std::string DateStyleHelp();

}  // namespace calsvar
