// Turns the stored lines of a raster, given as changing elements (the
// positions where the colour changes, the first one to black), into rows of
// a page, and marks the lines that never came.
#pragma once

#include <cstdint>
#include <span>

namespace cals::picture {

class LineRenderer {
 public:
  virtual ~LineRenderer() = default;
  // The next stored line. False when the page sink refused a row.
  virtual bool AddLine(std::span<const std::int32_t> changes) = 0;
  // The lines not added stay unknown: their rows are hatched (see
  // hatching.h), and so is a row that only some of them would have
  // shared with decoded lines, so that no row looks whole that is not.
  // False when the page sink refused a row.
  virtual bool HatchRest() = 0;
};

}  // namespace cals::picture
