// rorient as the CALS raster standard defines it: two angles in degrees,
// counterclockwise. The first, the pel path, is the direction in which the
// pels of one stored line run on the page as it is meant to be seen,
// measured from the page's rightward axis; the second, the line
// progression, is the direction in which the lines follow one another,
// measured from the pel path. "000,270": lines run left to right and follow
// one another downwards, the raster as stored. The standard allows the pel
// paths 0, 90, 180 and 270 and the line progressions 90 and 270: eight ways
// in which a stored raster can lie on the page.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cals::picture {

struct Orientation {
  int pelPath = 0;
  int lineProgression = 270;
};

// The two angles of a rorient value ("090,270"; read as readers read it,
// "%d,%d"), when they are one of the eight pairs the standard allows.
std::optional<Orientation> ParseOrientation(std::string_view rorient);

// Where the pels of a stored raster of width x height lie on the page as
// it is meant to be seen: x along a stored line, y the line's number, both
// from 0; column and row of the page from its top left corner.
class PageLayout {
 public:
  PageLayout(Orientation orientation, std::int32_t storedWidth, std::int32_t storedHeight);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }

  // Stored lines run up or down the page: they are its columns.
  bool Transposed() const { return pel_.dx == 0; }
  // Stored line y is row y of the page, perhaps read from right to left.
  bool LinesAreRows() const { return line_.dy == 1; }
  bool Mirrored() const { return pel_.dx == -1; }

  struct Place {
    std::int32_t column;
    std::int32_t row;
  };
  Place PlaceOf(std::int32_t x, std::int32_t y) const;
  struct StoredPel {
    std::int32_t x;
    std::int32_t y;
  };
  // The stored pel shown at a place of the page.
  StoredPel StoredAt(std::int32_t column, std::int32_t row) const;

 private:
  struct Step {
    int dx;  // +1 right, -1 left, 0 neither
    int dy;  // +1 down, -1 up, 0 neither
  };
  static Step StepOf(int angle);

  Step pel_;
  Step line_;
  std::int32_t storedWidth_;
  std::int32_t storedHeight_;
  std::int32_t width_;
  std::int32_t height_;
};

}  // namespace cals::picture
