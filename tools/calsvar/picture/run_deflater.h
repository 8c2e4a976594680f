// A zlib stream made of runs only: each byte that repeats the one before
// it joins a match at distance one, every other byte is a literal, and
// each block gets Huffman codes made for what it holds. Thumbnails are
// mostly white runs with a few greys between them; zlib's run-length
// strategy finds the same matches, but its window upkeep (copying every
// byte into the window and sliding its tables every 32 KiB) costs more
// than the matching, and a report writes hundreds of megabytes of
// thumbnail rows. Any inflater reads the result.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace calsvar::picture {

class RunDeflater {
 public:
  // Appends the stream's two header bytes to `out`.
  explicit RunDeflater(std::vector<std::uint8_t>& out);

  // Appends what `bytes` compress to, as far as it is known: the last run
  // and the current block stay pending.
  void Put(std::span<const std::uint8_t> bytes);
  // After the last bytes: the pending run, the last block and the
  // checksum. Nothing may be put after it.
  void Finish();

 private:
  static constexpr std::uint16_t kMatchFlag = 0x8000;  // a symbol that is a match's length

  void Checksum(std::uint8_t value, std::uint64_t count);
  void Literal(std::uint8_t byte);
  void EndRun();
  void WriteBlock(bool last);
  void Bits(std::uint32_t bits, unsigned count);
  void Flush();  // whole bytes of the bit buffer to `out_`

  std::vector<std::uint8_t>& out_;
  std::uint64_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
  int previous_ = -1;  // the last byte put, -1 before the first
  std::uint32_t run_ = 0;  // bytes equal to previous_ after it, not yet a symbol
  std::uint64_t adlerA_ = 1;  // Adler-32's two sums
  std::uint64_t adlerB_ = 0;
  std::vector<std::uint16_t> block_;      // literals, and match lengths with kMatchFlag
  std::array<std::uint32_t, 286> uses_{};  // of each literal/length symbol in block_
};

}  // namespace calsvar::picture
