// How a rendered page marks the part of the raster that could not be
// decoded: diagonal stripes, 3 pels wide every 12 pels, black on white
// (full size) or black on light grey (scaled), a pattern that a drawing's
// own lines seldom make over a whole band. Drawn before the page is turned,
// so they stay diagonal.
#pragma once

#include <cstdint>
#include <span>

#include "cals/picture/page_sink.h"

namespace cals::picture {

inline constexpr int kHatchPeriod = 12;
inline constexpr int kHatchStripe = 3;
inline constexpr std::uint8_t kHatchGround = 208;  // grey between the stripes

// Row y of the hatching, `width` pels in `format`.
void HatchRow(std::int64_t y, std::int32_t width, PelFormat format, std::span<std::uint8_t> row);

}  // namespace cals::picture
