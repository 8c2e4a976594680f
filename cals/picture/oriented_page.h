// Puts the rows of a page as stored the right way up (rorient), on their
// way to the real sink. A raster that lies as it is seen ("000,270"), or
// only mirrored, passes row by row; any other way needs every row before
// the first one of the turned page, so the page is held until Finish.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "cals/picture/orientation.h"
#include "cals/picture/page_sink.h"

namespace cals::picture {

class OrientedPage final : public PageSink {
 public:
  OrientedPage(Orientation orientation, PageSink& out) : orientation_(orientation), out_(out) {}

  // Bytes held for a stored page of this size and format: 0 when it passes
  // row by row.
  static std::uint64_t HeldBytes(Orientation orientation, std::int32_t width, std::int32_t height, PelFormat format);

  // The stored page's size: starts `out` with the turned one.
  void Start(std::int32_t width, std::int32_t height, PelFormat format) override;
  bool Row(std::span<const std::uint8_t> row) override;
  // After the last row: hands a held page out. False when `out` refused a
  // row.
  bool Finish();

 private:
  Orientation orientation_;
  PageSink& out_;
  std::unique_ptr<PageLayout> layout_;
  PelFormat format_ = PelFormat::kGrey;
  std::size_t storedRowBytes_ = 0;
  std::vector<std::uint8_t> held_;  // whole stored page, when it must turn
  std::vector<std::uint8_t> row_;   // one row as it goes out
};

}  // namespace cals::picture
