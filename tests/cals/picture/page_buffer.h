// A rendered page kept whole in memory, for tests to look at its pels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "cals/picture/page_sink.h"

namespace picture_test {

class PageBuffer final : public cals::picture::PageSink {
 public:
  void Start(std::int32_t width, std::int32_t height, cals::picture::PelFormat format) override {
    width_ = width;
    height_ = height;
    format_ = format;
    rows_.clear();
  }
  bool Row(std::span<const std::uint8_t> row) override {
    rows_.emplace_back(row.begin(), row.end());
    return true;
  }

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::size_t rows() const { return rows_.size(); }
  // 0 black to 255 white, whatever the format.
  int Grey(std::int32_t x, std::int32_t y) const {
    const std::vector<std::uint8_t>& row = rows_.at(static_cast<std::size_t>(y));
    const auto at = static_cast<std::size_t>(x);
    if (format_ == cals::picture::PelFormat::kGrey) return row.at(at);
    return (row.at(at / 8) & (0x80u >> (at % 8))) != 0 ? 255 : 0;
  }
  bool Black(std::int32_t x, std::int32_t y) const { return Grey(x, y) < 128; }

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  cals::picture::PelFormat format_ = cals::picture::PelFormat::kGrey;
  std::vector<std::vector<std::uint8_t>> rows_;
};

}  // namespace picture_test
