#include "tools/calsvar/picture/png_writer.h"

#include <zlib.h>

#include <array>
#include <new>

#include "tools/calsvar/picture/run_deflater.h"

namespace calsvar::picture {
namespace {

constexpr std::size_t kDataChunkBytes = 64 * 1024;

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value >> 24);
  at[1] = static_cast<std::uint8_t>(value >> 16);
  at[2] = static_cast<std::uint8_t>(value >> 8);
  at[3] = static_cast<std::uint8_t>(value);
}

}  // namespace

struct PngWriter::Deflater {
  z_stream stream{};
  Deflater() {
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
  }
  ~Deflater() { deflateEnd(&stream); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
};

PngWriter::PngWriter(ByteSink& out, std::int32_t width, std::int32_t height, cals::picture::PelFormat format,
                     PngCompression compression)
    : out_(out),
      height_(height),
      rowBytes_(cals::picture::RowBytes(width, format)) {
  // zlib deflates into a buffer of fixed size; the run deflater appends.
  if (compression == PngCompression::kFast) {
    runs_ = std::make_unique<RunDeflater>(compressed_);
  } else {
    deflater_ = std::make_unique<Deflater>();
    compressed_.resize(kDataChunkBytes);
  }
  static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ok_ = out_.Write(kSignature);
  std::array<std::uint8_t, 13> header{};
  PutBigEndian(&header[0], static_cast<std::uint32_t>(width));
  PutBigEndian(&header[4], static_cast<std::uint32_t>(height));
  header[8] = format == cals::picture::PelFormat::kBilevel ? 1 : 8;  // bits per pel
  header[9] = 0;  // grey; compression, filter and interlace methods 0
  ok_ = ok_ && Chunk("IHDR", header);
}

PngWriter::~PngWriter() = default;

bool PngWriter::Chunk(const char type[4], std::span<const std::uint8_t> data) {
  std::array<std::uint8_t, 8> head{};
  PutBigEndian(&head[0], static_cast<std::uint32_t>(data.size()));
  for (int i = 0; i < 4; ++i) head[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(type[i]);
  uLong crc = crc32(0, &head[4], 4);
  if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  std::array<std::uint8_t, 4> tail{};
  PutBigEndian(&tail[0], static_cast<std::uint32_t>(crc));
  return out_.Write(head) && out_.Write(data) && out_.Write(tail);
}

bool PngWriter::Deflate(std::span<const std::uint8_t> bytes, bool last) {
  if (runs_) {
    runs_->Put(bytes);
    if (last) runs_->Finish();
    if (compressed_.size() < kDataChunkBytes && !last) return true;
    const bool written = compressed_.empty() || Chunk("IDAT", compressed_);
    compressed_.clear();
    return written;
  }
  z_stream& stream = deflater_->stream;
  stream.next_in = const_cast<Bytef*>(bytes.data());  // zlib does not write through it
  stream.avail_in = static_cast<uInt>(bytes.size());
  while (true) {
    if (stream.avail_out == 0 || stream.next_out == nullptr) {
      stream.next_out = compressed_.data();
      stream.avail_out = static_cast<uInt>(compressed_.size());
    }
    const int status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
    if (status == Z_STREAM_ERROR) return false;
    const bool full = stream.avail_out == 0;
    const bool done = last ? status == Z_STREAM_END : stream.avail_in == 0 && !full;
    if (full || (last && done)) {
      const std::size_t used = compressed_.size() - stream.avail_out;
      if (used > 0 && !Chunk("IDAT", std::span(compressed_).first(used))) return false;
      stream.avail_out = 0;  // start the buffer again
    }
    if (done) return true;
  }
}

bool PngWriter::WriteRow(std::span<const std::uint8_t> row) {
  if (!ok_) return false;
  static constexpr std::array<std::uint8_t, 1> kNoFilter = {0};
  ok_ = row.size() == rowBytes_ && rows_ < height_ && Deflate(kNoFilter, false) && Deflate(row, false);
  ++rows_;
  return ok_;
}

bool PngWriter::Finish() {
  ok_ = ok_ && rows_ == height_ && Deflate({}, true) && Chunk("IEND", {});
  return ok_;
}

}  // namespace calsvar::picture
