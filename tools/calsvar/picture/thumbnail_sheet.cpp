#include "tools/calsvar/picture/thumbnail_sheet.h"

#include <algorithm>

namespace calsvar::picture {

using cals::picture::PelFormat;

ThumbnailSheet::ThumbnailSheet(ByteSink& out, std::int32_t cell, std::int32_t cells)
    : cell_(cell),
      png_(out, cell, cell * cells, PelFormat::kGrey, PngCompression::kFast),
      page_(*this),
      row_(static_cast<std::size_t>(cell)) {}

void ThumbnailSheet::Cell::Start(std::int32_t width, std::int32_t height, PelFormat format) {
  sheet_.fits_ = format == PelFormat::kGrey && width <= sheet_.cell_ && height <= sheet_.cell_;
}

bool ThumbnailSheet::Cell::Row(std::span<const std::uint8_t> row) {
  return sheet_.fits_ && sheet_.rowsInCell_ < sheet_.cell_ && sheet_.WriteRow(row);
}

cals::picture::PageSink& ThumbnailSheet::NextCell() {
  rowsInCell_ = 0;
  fits_ = false;  // until a page starts
  return page_;
}

bool ThumbnailSheet::WriteRow(std::span<const std::uint8_t> pels) {
  const std::size_t drawn = std::min(pels.size(), row_.size());
  std::copy_n(pels.begin(), drawn, row_.begin());
  std::fill(row_.begin() + static_cast<std::ptrdiff_t>(drawn), row_.end(), std::uint8_t{255});
  ++rowsInCell_;
  ok_ = ok_ && png_.WriteRow(row_);
  return ok_;
}

bool ThumbnailSheet::EndCell() {
  while (ok_ && rowsInCell_ < cell_) WriteRow({});
  return ok_;
}

bool ThumbnailSheet::Finish() { return ok_ && png_.Finish(); }

}  // namespace calsvar::picture
