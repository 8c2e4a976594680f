#include "cals/picture/bilevel_painter.h"

#include <algorithm>
#include <cstring>

#include "cals/picture/hatching.h"

namespace cals::picture {

void PaintBlack(std::span<std::uint8_t> row, std::int32_t from, std::int32_t to) {
  if (from >= to) return;
  const auto first = static_cast<std::size_t>(from) / 8;
  const auto last = static_cast<std::size_t>(to - 1) / 8;
  const auto head = static_cast<std::uint8_t>(0xFFu >> (from % 8));          // bits from `from` on
  const auto tail = static_cast<std::uint8_t>(0xFFu << (7 - (to - 1) % 8));  // bits up to `to - 1`
  if (first == last) {
    row[first] = static_cast<std::uint8_t>(row[first] & ~(head & tail));
    return;
  }
  row[first] = static_cast<std::uint8_t>(row[first] & ~head);
  std::memset(row.data() + first + 1, 0, last - first - 1);
  row[last] = static_cast<std::uint8_t>(row[last] & ~tail);
}

BilevelPainter::BilevelPainter(std::int32_t width, std::int32_t height, PageSink& out)
    : width_(width), height_(height), out_(out), row_(RowBytes(width, PelFormat::kBilevel)) {}

bool BilevelPainter::AddLine(std::span<const std::int32_t> changes) {
  std::fill(row_.begin(), row_.end(), std::uint8_t{0xFF});
  for (std::size_t i = 0; i < changes.size(); i += 2) {
    PaintBlack(row_, changes[i], i + 1 < changes.size() ? changes[i + 1] : width_);
  }
  ++next_;
  return out_.Row(row_);
}

bool BilevelPainter::HatchRest() {
  for (; next_ < height_; ++next_) {
    HatchRow(next_, width_, PelFormat::kBilevel, row_);
    if (!out_.Row(row_)) return false;
  }
  return true;
}

}  // namespace cals::picture
