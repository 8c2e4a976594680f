// Writes a PNG picture of grey pels (one bit, or eight bits per pel) row by
// row, compressed with zlib as it goes, so that a page of any height
// passes through a buffer of fixed size.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "cals/picture/page_sink.h"
#include "tools/calsvar/picture/byte_sink.h"

namespace calsvar::picture {

class RunDeflater;

// kSmall: zlib's default level, for pages kept as files; kFast: runs only
// (run_deflater.h), for thumbnails by the thousand: their rows are mostly
// white runs.
enum class PngCompression { kSmall, kFast };

class PngWriter {
 public:
  // Writes the signature and the header chunk. Throws std::bad_alloc when
  // zlib cannot get its memory.
  PngWriter(ByteSink& out, std::int32_t width, std::int32_t height, cals::picture::PelFormat format,
            PngCompression compression = PngCompression::kSmall);
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  // The next row, as cals::picture::RowBytes gives its size. False once a
  // write has failed.
  bool WriteRow(std::span<const std::uint8_t> row);
  // After the last row: the rest of the data and the end chunk. False when
  // any write failed or fewer rows came than the height.
  bool Finish();

 private:
  struct Deflater;
  bool Deflate(std::span<const std::uint8_t> bytes, bool last);
  bool Chunk(const char type[4], std::span<const std::uint8_t> data);

  ByteSink& out_;
  std::int32_t height_;
  std::int32_t rows_ = 0;
  std::size_t rowBytes_;
  bool ok_ = true;
  std::unique_ptr<Deflater> deflater_;  // kSmall
  std::unique_ptr<RunDeflater> runs_;   // kFast
  std::vector<std::uint8_t> compressed_;
};

}  // namespace calsvar::picture
