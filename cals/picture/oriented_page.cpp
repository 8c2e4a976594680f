#include "cals/picture/oriented_page.h"

#include <algorithm>

namespace cals::picture {
namespace {

bool Black(std::span<const std::uint8_t> row, std::int32_t x) {
  const auto at = static_cast<std::size_t>(x);
  return (row[at / 8] & (0x80u >> (at % 8))) == 0;
}

void SetPel(std::span<std::uint8_t> row, std::int32_t x, bool black) {
  const auto at = static_cast<std::size_t>(x);
  const auto bit = static_cast<std::uint8_t>(0x80u >> (at % 8));
  row[at / 8] = static_cast<std::uint8_t>(black ? row[at / 8] & ~bit : row[at / 8] | bit);
}

}  // namespace

std::uint64_t OrientedPage::HeldBytes(Orientation orientation, std::int32_t width, std::int32_t height,
                                      PelFormat format) {
  const PageLayout layout(orientation, width, height);
  if (layout.LinesAreRows()) return 0;
  return static_cast<std::uint64_t>(RowBytes(width, format)) * static_cast<std::uint64_t>(height);
}

void OrientedPage::Start(std::int32_t width, std::int32_t height, PelFormat format) {
  layout_ = std::make_unique<PageLayout>(orientation_, width, height);
  format_ = format;
  storedRowBytes_ = RowBytes(width, format);
  if (!layout_->LinesAreRows()) held_.reserve(storedRowBytes_ * static_cast<std::size_t>(height));
  row_.assign(RowBytes(layout_->width(), format), 0);
  out_.Start(layout_->width(), layout_->height(), format);
}

bool OrientedPage::Row(std::span<const std::uint8_t> row) {
  if (!layout_->LinesAreRows()) {
    held_.insert(held_.end(), row.begin(), row.end());
    return true;
  }
  if (!layout_->Mirrored()) return out_.Row(row);
  const std::int32_t width = layout_->width();
  if (format_ == PelFormat::kGrey) {
    std::reverse_copy(row.begin(), row.end(), row_.begin());
  } else {
    for (std::int32_t x = 0; x < width; ++x) SetPel(row_, width - 1 - x, Black(row, x));
  }
  return out_.Row(row_);
}

bool OrientedPage::Finish() {
  if (layout_->LinesAreRows()) return true;
  const std::span<const std::uint8_t> held(held_);
  for (std::int32_t r = 0; r < layout_->height(); ++r) {
    for (std::int32_t c = 0; c < layout_->width(); ++c) {
      const PageLayout::StoredPel from = layout_->StoredAt(c, r);
      const std::span<const std::uint8_t> stored = held.subspan(static_cast<std::size_t>(from.y) * storedRowBytes_);
      if (format_ == PelFormat::kGrey) {
        row_[static_cast<std::size_t>(c)] = stored[static_cast<std::size_t>(from.x)];
      } else {
        SetPel(row_, c, Black(stored, from.x));
      }
    }
    if (!out_.Row(row_)) return false;
  }
  return true;
}

}  // namespace cals::picture
