#include "tools/make_samples/bit_writer.h"

namespace samples {

void BitWriter::Put(std::uint32_t bits, int length) {
  for (int i = length - 1; i >= 0; --i) {
    if (free_ == 0) {
      bytes_.push_back(0);
      free_ = 8;
    }
    --free_;
    if ((bits >> i) & 1u) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (1u << free_));
  }
}

std::vector<std::uint8_t> BitWriter::Finish() {
  free_ = 0;
  return std::move(bytes_);
}

}  // namespace samples
