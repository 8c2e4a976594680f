#include "cals/picture/area_scaler.h"

#include <algorithm>
#include <cmath>

#include "cals/picture/hatching.h"

namespace cals::picture {

AreaScaler::AreaScaler(std::int32_t width, std::int32_t height, std::int32_t scaledWidth, std::int32_t scaledHeight,
                       PageSink& out)
    : width_(width),
      height_(height),
      scaledWidth_(scaledWidth),
      scaledHeight_(scaledHeight),
      out_(out),
      lineCover_(static_cast<std::size_t>(scaledWidth)),
      rowCover_(static_cast<std::size_t>(scaledWidth)),
      grey_(static_cast<std::size_t>(scaledWidth)) {}

void AreaScaler::AddCoverage(std::size_t column, std::uint32_t amount) {
  if (lineCover_[column] == 0) touched_.push_back(column);
  lineCover_[column] += amount;
}

void AreaScaler::Cover(std::int32_t from, std::int32_t to) {
  if (from >= to) return;
  // In grid units a stored pel is scaledWidth_ wide, a result pel width_.
  const std::int64_t begin = from * scaledWidth_;
  const std::int64_t end = to * scaledWidth_;
  const std::int64_t first = begin / width_;
  const std::int64_t last = (end - 1) / width_;
  if (first == last) {
    AddCoverage(static_cast<std::size_t>(first), static_cast<std::uint32_t>(end - begin));
    return;
  }
  AddCoverage(static_cast<std::size_t>(first), static_cast<std::uint32_t>((first + 1) * width_ - begin));
  for (std::int64_t column = first + 1; column < last; ++column) {
    AddCoverage(static_cast<std::size_t>(column), static_cast<std::uint32_t>(width_));
  }
  AddCoverage(static_cast<std::size_t>(last), static_cast<std::uint32_t>(end - last * width_));
}

bool AreaScaler::EmitRow() {
  // The white share of each pel's area, rounded to 0..255: in integers while
  // 255 times the area fits (any real page), else in floating point.
  const auto area = static_cast<std::uint64_t>(width_) * static_cast<std::uint64_t>(height_);
  const bool exact = area <= (std::uint64_t{1} << 55);
  for (std::size_t j = 0; j < grey_.size(); ++j) {
    const std::uint64_t black = rowCover_[j];
    if (black == 0) {
      grey_[j] = 255;
    } else if (exact) {
      grey_[j] = static_cast<std::uint8_t>((255 * (area - black) + area / 2) / area);
    } else {
      grey_[j] = static_cast<std::uint8_t>(std::lround(255.0 * static_cast<double>(area - black) / static_cast<double>(area)));
    }
  }
  std::fill(rowCover_.begin(), rowCover_.end(), 0);
  ++row_;
  return out_.Row(grey_);
}

bool AreaScaler::AddLine(std::span<const std::int32_t> changes) {
  for (std::size_t i = 0; i < changes.size(); i += 2) {
    Cover(changes[i], i + 1 < changes.size() ? changes[i + 1] : static_cast<std::int32_t>(width_));
  }
  // In grid units a stored line is scaledHeight_ high, a result row height_.
  const std::int64_t top = nextLine_ * scaledHeight_;
  const std::int64_t bottom = top + scaledHeight_;
  ++nextLine_;
  bool ok = true;
  while (ok) {
    const std::int64_t rowTop = row_ * height_;
    const std::int64_t rowBottom = rowTop + height_;
    const auto share = static_cast<std::uint64_t>(std::min(bottom, rowBottom) - std::max(top, rowTop));
    for (const std::size_t column : touched_) rowCover_[column] += lineCover_[column] * share;
    if (rowBottom > bottom) break;  // the row goes on below this line
    ok = EmitRow();
    if (rowBottom == bottom) break;
  }
  for (const std::size_t column : touched_) lineCover_[column] = 0;
  touched_.clear();
  return ok;
}

bool AreaScaler::HatchRest() {
  // A row that the lines added only began is hatched whole.
  for (; row_ < scaledHeight_; ++row_) {
    HatchRow(row_, static_cast<std::int32_t>(scaledWidth_), PelFormat::kGrey, grey_);
    if (!out_.Row(grey_)) return false;
  }
  return true;
}

}  // namespace cals::picture
