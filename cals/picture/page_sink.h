// Where a rendered page goes, one row at a time from the top, so that a
// page can be written out while it is rendered (a PNG file, a test's
// buffer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace cals::picture {

enum class PelFormat {
  // One bit per pel, the first pel of a row in the top bit of its first
  // byte, 1 white and 0 black (bits as grey levels, as PNG takes them);
  // rows padded to whole bytes.
  kBilevel,
  // One byte per pel, 0 black to 255 white.
  kGrey,
};

// Bytes of one row of `width` pels.
constexpr std::size_t RowBytes(std::int32_t width, PelFormat format) {
  const auto pels = static_cast<std::size_t>(width);
  return format == PelFormat::kBilevel ? (pels + 7) / 8 : pels;
}

class PageSink {
 public:
  virtual ~PageSink() = default;
  // Called once, before the first row.
  virtual void Start(std::int32_t width, std::int32_t height, PelFormat format) = 0;
  // The next row, RowBytes(width, format) bytes. False stops the
  // rendering (a write failed).
  virtual bool Row(std::span<const std::uint8_t> row) = 0;
};

}  // namespace cals::picture
