// Scaled: the stored lines averaged by area into rows of grey, so that a
// line one pel thin still darkens the row it falls in (a nearest-pel scale
// would keep it or drop it by chance).
//
// Each row of the result covers an exact share of the stored page: with the
// page W x H scaled to w x h, stored pel (x, y) is the rectangle
// [x*w, (x+1)*w) x [y*h, (y+1)*h) and pel (j, i) of the result the
// rectangle [j*W, (j+1)*W) x [i*H, (i+1)*H) of one grid; a result pel's
// grey is the share of its rectangle that no black stored pel covers.
// Holds one row of the result, whatever the size of the page; the work per
// line is its black runs and the result pels they touch.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "cals/picture/line_renderer.h"
#include "cals/picture/page_sink.h"

namespace cals::picture {

class AreaScaler final : public LineRenderer {
 public:
  // Stored lines of `width` pels, `height` of them, to rows of
  // `scaledWidth` grey pels, `scaledHeight` of them, into `out` (already
  // started). All sizes at least 1.
  AreaScaler(std::int32_t width, std::int32_t height, std::int32_t scaledWidth, std::int32_t scaledHeight,
             PageSink& out);
  bool AddLine(std::span<const std::int32_t> changes) override;
  bool HatchRest() override;

 private:
  void Cover(std::int32_t from, std::int32_t to);  // a black run of the line
  void AddCoverage(std::size_t column, std::uint32_t amount);
  bool EmitRow();

  std::int64_t width_;
  std::int64_t height_;
  std::int64_t scaledWidth_;
  std::int64_t scaledHeight_;
  PageSink& out_;
  std::int64_t nextLine_ = 0;
  std::int64_t row_ = 0;  // the row of the result being summed
  std::vector<std::uint32_t> lineCover_;  // per result column: black width of this line, in grid units
  std::vector<std::size_t> touched_;      // the columns of lineCover_ above 0
  std::vector<std::uint64_t> rowCover_;   // per result column: black area of the row so far
  std::vector<std::uint8_t> grey_;
};

}  // namespace cals::picture
