#include "cals/picture/orientation.h"

#include <string>

#include "cals/decimal_scan.h"

namespace cals::picture {

std::optional<Orientation> ParseOrientation(std::string_view rorient) {
  const ScannedPair angles = ScanDecimalPair(std::u16string(rorient.begin(), rorient.end()), u',');
  if (!angles.first || !angles.second) return std::nullopt;
  const int pelPath = *angles.first;
  const int lineProgression = *angles.second;
  const bool rightAngle = pelPath == 0 || pelPath == 90 || pelPath == 180 || pelPath == 270;
  if (!rightAngle || (lineProgression != 90 && lineProgression != 270)) return std::nullopt;
  return Orientation{pelPath, lineProgression};
}

PageLayout::Step PageLayout::StepOf(int angle) {
  // Counterclockwise from the rightward axis, on a page whose rows count
  // downwards.
  switch (angle % 360) {
    case 0:
      return {1, 0};
    case 90:
      return {0, -1};
    case 180:
      return {-1, 0};
    default:
      return {0, 1};
  }
}

PageLayout::PageLayout(Orientation orientation, std::int32_t storedWidth, std::int32_t storedHeight)
    : pel_(StepOf(orientation.pelPath)),
      line_(StepOf(orientation.pelPath + orientation.lineProgression)),
      storedWidth_(storedWidth),
      storedHeight_(storedHeight),
      width_(pel_.dx != 0 ? storedWidth : storedHeight),
      height_(pel_.dx != 0 ? storedHeight : storedWidth) {}

namespace {

// A position along one axis of the page that `n` steps of `step` (from the
// edge they start at) reach, on an axis of `size` places.
std::int32_t Along(int step, std::int32_t n, std::int32_t size) { return step > 0 ? n : size - 1 - n; }

}  // namespace

PageLayout::Place PageLayout::PlaceOf(std::int32_t x, std::int32_t y) const {
  Place place{};
  if (pel_.dx != 0) {
    place.column = Along(pel_.dx, x, width_);
    place.row = Along(line_.dy, y, height_);
  } else {
    place.row = Along(pel_.dy, x, height_);
    place.column = Along(line_.dx, y, width_);
  }
  return place;
}

PageLayout::StoredPel PageLayout::StoredAt(std::int32_t column, std::int32_t row) const {
  // Along() is its own inverse.
  if (pel_.dx != 0) return {Along(pel_.dx, column, storedWidth_), Along(line_.dy, row, storedHeight_)};
  return {Along(pel_.dy, row, storedWidth_), Along(line_.dx, column, storedHeight_)};
}

}  // namespace cals::picture
