// The thumbnails' run-only deflater on any bytes, put in pieces whose sizes
// the first two bytes give: zlib must inflate the stream, checksum
// included, back to exactly the bytes put.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tools/calsvar/picture/run_deflater.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::size_t piece = 1 + (input.Byte() | input.Byte() << 8);
  const std::string_view rest = input.TakeRest();
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());

  std::vector<std::uint8_t> stream;
  calsvar::picture::RunDeflater deflater(stream);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    deflater.Put(bytes.subspan(at, std::min(piece, bytes.size() - at)));
  }
  deflater.Finish();

  std::vector<std::uint8_t> inflated(bytes.size() + 1);
  uLongf inflatedSize = static_cast<uLongf>(inflated.size());
  FUZZ_CHECK(uncompress(inflated.data(), &inflatedSize, stream.data(), static_cast<uLong>(stream.size())) == Z_OK);
  FUZZ_CHECK(inflatedSize == bytes.size());
  FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), inflated.begin()));
  return 0;
}
