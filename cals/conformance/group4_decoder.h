// Decodes two-dimensional facsimile data (ITU-T T.6, "Group 4") line by
// line, as the positions where the colour changes rather than as pels.
//
// Bounded for hostile input whatever size a header claims: it holds two
// lines of changing elements (at most one per pel, and never more than the
// codes read), and every code it reads either moves along the line or costs
// bits, so the work is bounded by the bytes present, not by the width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cals/conformance/byte_source.h"

namespace cals::conformance {

enum class LineOutcome {
  kDecoded,     // one more line
  kEndOfBlock,  // an end-of-block code where a line would begin
  kDataEnds,    // the data ran out before the line was whole
  kInvalid,     // a code that is not valid here; Problem() says why
};

// What follows the last line.
enum class TailOutcome {
  kEndOfBlock,     // the end-of-block code
  kCutEndOfBlock,  // the beginning of one, then the data ends
  kNothing,        // no more data (at most the zero bits that fill the last byte)
  kOtherData,      // something that is not an end-of-block code
};

// The bytes after the end-of-block code.
struct TrailingBytes {
  std::uint64_t count = 0;
  bool allZero = true;
};

class Group4Decoder {
 public:
  // Lines of `width` pels (at least 1).
  Group4Decoder(ByteSource& source, std::int32_t width);

  // Decodes the next line. After any outcome but kDecoded the decoder is
  // done.
  LineOutcome DecodeLine();

  // The line last decoded: the positions whose pel differs in colour from
  // the pel before it (the first one to black), strictly increasing, each
  // below the width. The line left of position 0 counts as white.
  std::span<const std::int32_t> Changes() const { return coding_; }

  const std::string& Problem() const { return problem_; }
  // Where the code that was not valid begins, in bits from the start.
  std::uint64_t ProblemBit() const { return codeStart_; }

  // Bits of whole codes read so far.
  std::uint64_t BitsRead() const { return bitsRead_; }

  // After the last line: reads the end-of-block code if it is there.
  TailOutcome ReadEndOfBlock();
  // After ReadEndOfBlock: the bytes behind the one that ends the code.
  TrailingBytes CountTrailingBytes();

 private:
  bool Fill(int bits);  // false when fewer real bits are left
  std::uint32_t Peek(int bits) const { return static_cast<std::uint32_t>(window_ >> (64 - bits)); }
  void Skip(int bits);
  int DecodeRun(bool black, std::int64_t room);  // the run, or kRunInvalid / kRunDataEnds
  void Append(std::int32_t position);
  LineOutcome Fail(std::string problem);

  ByteSource& source_;
  std::span<const std::uint8_t> piece_;
  std::size_t piecePos_ = 0;
  bool sourceEnded_ = false;
  std::uint64_t window_ = 0;  // bits not yet read, first one in the top bit
  int windowBits_ = 0;        // real bits in window_
  std::uint64_t bitsRead_ = 0;
  std::uint64_t codeStart_ = 0;

  std::int32_t width_;
  std::vector<std::int32_t> reference_;  // the line above, with three sentinels
  std::vector<std::int32_t> coding_;
  std::string problem_;
};

// Pels of a line from its changing elements: 0 white, 1 black.
void PaintLine(std::span<const std::int32_t> changes, std::span<std::uint8_t> pels);

}  // namespace cals::conformance
