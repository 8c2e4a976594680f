// Appends bit strings most significant bit first, the order in which
// facsimile coders put codes into bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace samples {

class BitWriter {
 public:
  // Appends the low `length` bits of `bits`, highest of them first.
  void Put(std::uint32_t bits, int length);
  // Pads the last byte with zero bits.
  std::vector<std::uint8_t> Finish();

 private:
  std::vector<std::uint8_t> bytes_;
  int free_ = 0;  // unused low bits in the last byte
};

}  // namespace samples
