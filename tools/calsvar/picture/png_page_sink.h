// A rendered page written as a PNG picture as its rows come.
#pragma once

#include <memory>
#include <optional>

#include "cals/picture/page_sink.h"
#include "tools/calsvar/picture/byte_sink.h"
#include "tools/calsvar/picture/png_writer.h"

namespace calsvar::picture {

class PngPageSink final : public cals::picture::PageSink {
 public:
  explicit PngPageSink(ByteSink& out) : out_(out) {}

  void Start(std::int32_t width, std::int32_t height, cals::picture::PelFormat format) override {
    writer_.emplace(out_, width, height, format);
  }
  bool Row(std::span<const std::uint8_t> row) override { return writer_->WriteRow(row); }
  // After the last row; false when nothing was started or a write failed.
  bool Finish() { return writer_ && writer_->Finish(); }

 private:
  ByteSink& out_;
  std::optional<PngWriter> writer_;
};

}  // namespace calsvar::picture
