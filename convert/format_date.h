// Renders an OLE automation date in one of the host's date styles.
#pragma once

#include <cstdint>

#include "convert/str.h"

namespace convert {

// False, output untouched, for a date of 0.0 (or -0.0); otherwise the
// rendering of `style` (unknown codes render as 113) and true.
bool FormatDate(Str& output, double date, std::int32_t style);

}  // namespace convert
