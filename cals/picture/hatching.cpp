#include "cals/picture/hatching.h"

#include <algorithm>

namespace cals::picture {

void HatchRow(std::int64_t y, std::int32_t width, PelFormat format, std::span<std::uint8_t> row) {
  std::fill(row.begin(), row.end(), format == PelFormat::kBilevel ? std::uint8_t{0xFF} : kHatchGround);
  for (std::int32_t x = 0; x < width; ++x) {
    if ((x + y) % kHatchPeriod >= kHatchStripe) continue;
    const auto at = static_cast<std::size_t>(x);
    if (format == PelFormat::kBilevel) {
      row[at / 8] = static_cast<std::uint8_t>(row[at / 8] & ~(0x80u >> (at % 8)));
    } else {
      row[at] = 0;
    }
  }
}

}  // namespace cals::picture
