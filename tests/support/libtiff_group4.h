// libtiff as the reference Group 4 coder and decoder (native builds only):
// the data is held as the one strip of a TIFF file in memory, as TIFF
// readers hand CALS rasters to libtiff.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace testing_support {

// Pels row after row, one byte each: 0 white, 1 black.
using Pels = std::vector<std::uint8_t>;

// A Group 4 strip that libtiff holds open, to be decoded as often as asked
// (the benchmark times this against the raster check's decoder).
class LibtiffStrip {
 public:
  LibtiffStrip(std::span<const std::uint8_t> data, int width, int height);
  ~LibtiffStrip();
  LibtiffStrip(const LibtiffStrip&) = delete;
  LibtiffStrip& operator=(const LibtiffStrip&) = delete;

  // The rows as libtiff gives them: packed, first pel in the top bit, 1
  // black, each row padded to whole bytes. False when libtiff reports an
  // error.
  bool Decode(std::vector<std::uint8_t>& packed);

 private:
  friend std::optional<std::string> LibtiffComplaint(std::span<const std::uint8_t>, int, int);
  struct Held;
  std::unique_ptr<Held> held_;
};

// What libtiff says when it decodes `data`: its first error or warning
// ("Fax4Decode: Line length mismatch at line 1 of strip 0 ..."), or nothing
// when it decodes the strip without a word.
std::optional<std::string> LibtiffComplaint(std::span<const std::uint8_t> data, int width, int height);

// libtiff's decode of `data`, or nothing when it reports an error.
std::optional<Pels> LibtiffDecodeGroup4(std::span<const std::uint8_t> data, int width, int height);

// What libtiff's coder makes of the pels.
std::vector<std::uint8_t> LibtiffEncodeGroup4(const Pels& pels, int width, int height);

}  // namespace testing_support
