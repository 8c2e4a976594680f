// The raster decoder on any bytes: five bytes give the width and the
// height, the rest is the Group 4 data. The width's low 20 bits count pels;
// the top four bits of its third byte add multiples of 2^27, and all four
// set count down from the largest width rpelcnt can state (2^31 - 1), so
// that positions near the 32-bit limit are tried. Whatever the
// data, every decoded line must be strictly increasing changes inside the
// width, no more of them than pels, and the decode must never read more
// than the data holds.
#include <cstdint>
#include <limits>
#include <span>

#include "cals/conformance/group4_decoder.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::int32_t low = input.Byte() | input.Byte() << 8;
  const std::uint8_t third = input.Byte();
  const std::int32_t pels = low | (third & 0x0F) << 16;
  const int scale = third >> 4;
  const std::int32_t width =
      scale == 0x0F ? std::numeric_limits<std::int32_t>::max() - pels : 1 + pels + (scale << 27);
  const int height = 1 + (input.Byte() | input.Byte() << 8);
  const std::string_view rest = input.TakeRest();
  const std::span<const std::uint8_t> raster(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());

  cals::conformance::MemorySource source(raster);
  cals::conformance::Group4Decoder decoder(source, width);
  int lines = 0;
  while (lines < height && decoder.DecodeLine() == cals::conformance::LineOutcome::kDecoded) {
    const std::span<const std::int32_t> changes = decoder.Changes();
    FUZZ_CHECK(changes.size() <= static_cast<std::size_t>(width));
    for (std::size_t i = 0; i < changes.size(); ++i) {
      FUZZ_CHECK(changes[i] >= 0 && changes[i] < width);
      FUZZ_CHECK(i == 0 || changes[i - 1] < changes[i]);
    }
    FUZZ_CHECK(decoder.BitsRead() <= raster.size() * 8);
    ++lines;
  }
  FUZZ_CHECK(decoder.BitsRead() <= raster.size() * 8);
  if (lines == height) {
    decoder.ReadEndOfBlock();
    FUZZ_CHECK(decoder.CountTrailingBytes().count <= raster.size());
  }
  return 0;
}
