// Decodes two-dimensional facsimile data (ITU-T T.6, "Group 4") line by
// line, as the positions where the colour changes rather than as pels.
//
// It takes exactly the codes T.6 allows, and stops at the first one that
// breaks a rule: each vertical or horizontal code moves a0 strictly right,
// to at most the end of the line (only a line's first run, and a second
// run that starts at the line's end, may be empty); a pass code's b2 lies
// left of the end of the line; runs stay within the width; an end-of-line
// code comes only as the first half of the end-of-block code, where a line
// would begin. Readers such as libtiff accept some of these silently.
//
// Bounded for hostile input whatever size a header claims: it holds two
// lines of changing elements (at most one per pel, and never more than the
// codes read), and every code it reads either moves along the line or costs
// bits, so the work is bounded by the bytes present, not by the width.
#pragma once

#include <array>
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
  std::span<const std::int32_t> Changes() const { return {lines_[coding_].data(), counts_[coding_]}; }

  // What is wrong with the code that was not valid: the mode, the pels
  // involved and the rule of T.6 it breaks ("a vertical code puts the next
  // change at pel 5, not right of a0 at pel 5 (rule: a0 < a1)").
  const std::string& Problem() const { return problem_; }
  // Where the code that was not valid begins, in bits from the start.
  std::uint64_t ProblemBit() const { return codeStart_; }
  // The pel on its line where that code begins (a0; 0 at the line's start).
  std::int64_t ProblemPel() const { return problemPel_; }

  // Bits of whole codes read so far.
  std::uint64_t BitsRead() const { return bytesLoaded_ * 8 - static_cast<std::uint64_t>(windowBits_); }

  // After the last line: reads the end-of-block code if it is there.
  TailOutcome ReadEndOfBlock();
  // After ReadEndOfBlock: the bytes behind the one that ends the code.
  TrailingBytes CountTrailingBytes();

 private:
  bool Fill(int bits);  // false when fewer real bits are left
  std::uint32_t Peek(int bits) const { return static_cast<std::uint32_t>(window_ >> (64 - bits)); }
  void Skip(int bits);
  // A run that may take `room` pels: its length, or kRunNoCode,
  // kRunDataEnds, kRunPastEnd (the length so far in runPastEnd_).
  std::int64_t DecodeRun(bool black, std::int64_t room);

  // The rules of T.6 a code can break.
  enum class Rule {
    kVerticalNotRight,
    kVerticalPastEnd,
    kPassToEnd,
    kNoRunCode,
    kRunPastEnd,
    kEmptyFirstRun,
    kEmptySecondRun,
    kExtension,
    kNoModeCode,
    kEndOfLineInLine,
    kEndOfLineAlone,
  };
  // Ends a line early: keeps the changes decoded and where the code began.
  LineOutcome Stop(std::size_t count, std::int64_t a0, LineOutcome outcome);
  // Ends a line at a code that breaks `rule`; `at` is the pel it names.
  LineOutcome Broken(Rule rule, std::size_t count, std::int64_t a0, std::int64_t at = 0, bool black = false);

  ByteSource& source_;
  std::span<const std::uint8_t> piece_;
  std::size_t piecePos_ = 0;
  bool sourceEnded_ = false;
  std::uint64_t window_ = 0;  // bits not yet read, first one in the top bit
  int windowBits_ = 0;        // real bits in window_
  std::uint64_t bytesLoaded_ = 0;  // into window_, from the start
  std::uint64_t codeStart_ = 0;
  std::int64_t problemPel_ = 0;
  std::int64_t runPastEnd_ = 0;

  std::int32_t width_;
  // Two lines of changes, the first counts_ entries of each, with room for
  // three sentinels after them; lines_[coding_] is the line decoded last,
  // the other one the line above it.
  std::array<std::vector<std::int32_t>, 2> lines_;
  std::array<std::size_t, 2> counts_{};
  unsigned coding_ = 0;
  std::string problem_;
};

// Pels of a line from its changing elements: 0 white, 1 black.
void PaintLine(std::span<const std::int32_t> changes, std::span<std::uint8_t> pels);

// The same line as packed bits, as TIFF readers hand pels out: first pel in
// the top bit, 1 black, the last byte filled with white. `packed` holds
// (width + 7) / 8 bytes; changes at or past the width are ignored.
void PackLine(std::span<const std::int32_t> changes, std::int32_t width, std::span<std::uint8_t> packed);

}  // namespace cals::conformance
