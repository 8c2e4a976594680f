// Two-dimensional facsimile coding of ITU-T T.6 ("Group 4"): every row is
// coded against the row above it, the first against an all-white row; the
// data ends with EOFB and is padded to whole bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make_samples/bitmap.h"

namespace samples {

std::vector<std::uint8_t> EncodeGroup4(const Bitmap& picture);

}  // namespace samples
