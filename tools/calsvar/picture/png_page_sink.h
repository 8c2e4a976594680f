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
  PngPageSink(ByteSink& out, PngCompression compression) : out_(out), compression_(compression) {}

  void Start(std::int32_t width, std::int32_t height, cals::picture::PelFormat format) override {
    writer_.emplace(out_, width, height, format, compression_);
  }
  bool Row(std::span<const std::uint8_t> row) override { return writer_->WriteRow(row); }
  // After the last row; false when nothing was started or a write failed.
  bool Finish() { return writer_ && writer_->Finish(); }

 private:
  ByteSink& out_;
  PngCompression compression_;
  std::optional<PngWriter> writer_;
};

}  // namespace calsvar::picture
