// A Group 4 (T.6) decoder for the tests of the sample generator's coder:
// decodes the data back into rows, or reports where the bits made no sense.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace samples_test {

struct DecodedPicture {
  std::vector<std::vector<std::uint8_t>> rows;  // 0 white, 1 black
  bool sawEofb = false;
};

// Decodes up to `height` rows of `width` pixels; empty with `error` set
// when the data is not valid.
std::optional<DecodedPicture> DecodeGroup4(const std::vector<std::uint8_t>& data, int width, int height,
                                           std::string& error);

}  // namespace samples_test
