// Full size: each stored line becomes one row of one bit per pel.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "cals/picture/line_renderer.h"
#include "cals/picture/page_sink.h"

namespace cals::picture {

// Pels [from, to) of a bilevel row (bits 1 white) made black.
void PaintBlack(std::span<std::uint8_t> row, std::int32_t from, std::int32_t to);

class BilevelPainter final : public LineRenderer {
 public:
  // Rows of `width` pels, `height` of them, into `out` (already started).
  BilevelPainter(std::int32_t width, std::int32_t height, PageSink& out);
  bool AddLine(std::span<const std::int32_t> changes) override;
  bool HatchRest() override;

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::int32_t next_ = 0;
  PageSink& out_;
  std::vector<std::uint8_t> row_;
};

}  // namespace cals::picture
