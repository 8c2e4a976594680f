#include "cals/conformance/group4_decoder.h"

#include <algorithm>
#include <array>

#include "cals/conformance/fax_code_words.h"

namespace cals::conformance {
namespace {

enum class Mode : std::uint8_t { kPass, kHorizontal, kVertical, kExtension, kZeros };

struct ModeEntry {
  Mode mode;
  std::uint8_t length;
  std::int8_t offset;  // a1 - b1 of a vertical mode
};

// The mode codes, looked up by the next seven bits. Seven zero bits begin
// no mode: an end-of-line code, or nothing valid.
constexpr int kModeBits = 7;

constexpr std::array<ModeEntry, 128> BuildModeTable() {
  struct Word {
    std::uint8_t bits;
    std::uint8_t length;
    ModeEntry entry;
  };
  constexpr Word kWords[] = {
      {0b1, 1, {Mode::kVertical, 1, 0}},        {0b011, 3, {Mode::kVertical, 3, 1}},
      {0b010, 3, {Mode::kVertical, 3, -1}},     {0b001, 3, {Mode::kHorizontal, 3, 0}},
      {0b0001, 4, {Mode::kPass, 4, 0}},         {0b000011, 6, {Mode::kVertical, 6, 2}},
      {0b000010, 6, {Mode::kVertical, 6, -2}},  {0b0000011, 7, {Mode::kVertical, 7, 3}},
      {0b0000010, 7, {Mode::kVertical, 7, -3}}, {0b0000001, 7, {Mode::kExtension, 7, 0}},
      {0b0000000, 7, {Mode::kZeros, 7, 0}},
  };
  std::array<ModeEntry, 128> table{};
  for (const Word& word : kWords) {
    const int spread = kModeBits - word.length;
    for (int low = 0; low < (1 << spread); ++low) table[static_cast<std::size_t>((word.bits << spread) | low)] = word.entry;
  }
  return table;
}

constexpr std::array<ModeEntry, 128> kModes = BuildModeTable();

// Run-length words looked up by the next 12 (white) or 13 (black) bits, the
// longest word of each colour. An entry holds the word's length above the
// run; 0 is no word.
constexpr int kWhiteBits = 12;
constexpr int kBlackBits = 13;

class RunTable {
 public:
  RunTable(PelColour colour, int bits) : bits_(bits), entries_(std::size_t{1} << bits, 0) {
    for (int run = 0; run < 64; ++run) Add(TerminatingCodeWord(colour, run), run);
    for (int run = 64; run <= kLargestMakeUp; run += 64) Add(MakeUpCodeWord(colour, run), run);
  }
  std::uint32_t operator[](std::uint32_t index) const { return entries_[index]; }

 private:
  void Add(std::string_view word, int run) {
    std::uint32_t value = 0;
    for (char bit : word) value = value << 1 | (bit == '1' ? 1u : 0u);
    const int spread = bits_ - static_cast<int>(word.size());
    const std::uint32_t first = value << spread;
    for (std::uint32_t i = 0; i < (1u << spread); ++i) {
      entries_[first | i] = static_cast<std::uint32_t>(word.size()) << 16 | static_cast<std::uint32_t>(run);
    }
  }

  int bits_;
  std::vector<std::uint32_t> entries_;
};

const RunTable& WhiteRuns() {
  static const RunTable table(PelColour::kWhite, kWhiteBits);
  return table;
}

const RunTable& BlackRuns() {
  static const RunTable table(PelColour::kBlack, kBlackBits);
  return table;
}

constexpr std::int64_t kRunNoCode = -1;
constexpr std::int64_t kRunDataEnds = -2;
constexpr std::int64_t kRunPastEnd = -3;
constexpr std::uint32_t kEndOfLine = 0b000000000001;  // 12 bits
constexpr std::uint32_t kEndOfBlock = kEndOfLine << 12 | kEndOfLine;

std::string Pel(std::int64_t position) { return "pel " + std::to_string(position); }

constexpr const char* kOnlyInEndOfBlock =
    " (rule: Group 4 data has end-of-line codes only in its end-of-block code, two of them)";

}  // namespace

Group4Decoder::Group4Decoder(ByteSource& source, std::int32_t width)
    : source_(source), width_(std::max<std::int32_t>(width, 1)) {
  // Before the first line: a white line above it, only sentinels.
  for (std::vector<std::int32_t>& line : lines_) line.assign(64, width_);
}

bool Group4Decoder::Fill(int bits) {
  if (windowBits_ >= bits) return true;
  while (windowBits_ <= 56) {
    if (piecePos_ == piece_.size()) {
      if (sourceEnded_) break;
      piece_ = source_.Next();
      piecePos_ = 0;
      if (piece_.empty()) {
        sourceEnded_ = true;
        break;
      }
      continue;
    }
    window_ |= std::uint64_t{piece_[piecePos_++]} << (56 - windowBits_);
    windowBits_ += 8;
    ++bytesLoaded_;
  }
  return windowBits_ >= bits;
}

void Group4Decoder::Skip(int bits) {
  window_ = bits >= 64 ? 0 : window_ << bits;
  windowBits_ -= bits;
}

// Kept out of DecodeLine, whose loop then needs fewer registers.
[[gnu::noinline]] std::int64_t Group4Decoder::DecodeRun(bool black, std::int64_t room) {
  const RunTable& table = black ? BlackRuns() : WhiteRuns();
  const int bits = black ? kBlackBits : kWhiteBits;
  std::int64_t total = 0;
  while (true) {
    const bool whole = Fill(bits);
    const std::uint32_t entry = table[Peek(bits)];
    const int length = static_cast<int>(entry >> 16);
    if (entry == 0) {
      // Fewer bits than the longest word: they may be the start of one.
      return whole ? kRunNoCode : kRunDataEnds;
    }
    if (length > windowBits_) return kRunDataEnds;
    Skip(length);
    const std::int64_t run = entry & 0xFFFF;
    total += run;
    if (total > room) {
      runPastEnd_ = total;
      return kRunPastEnd;
    }
    if (run < 64) return total;
  }
}

LineOutcome Group4Decoder::Stop(std::size_t count, std::int64_t a0, LineOutcome outcome) {
  counts_[coding_] = count;
  problemPel_ = a0 < 0 ? 0 : a0;
  return outcome;
}

// Out of the decoding loop: the words are built only for a code that is
// not valid.
LineOutcome Group4Decoder::Broken(Rule rule, std::size_t count, std::int64_t a0, std::int64_t at, bool black) {
  const std::string colour = black ? "black" : "white";
  const std::string end = "the end of the line at " + Pel(width_);
  switch (rule) {
    case Rule::kVerticalNotRight:
      problem_ = "a vertical code puts the next change at " + Pel(at) +
                 (a0 < 0 ? ", left of the line's first pel (rule: a1 >= 0)"
                         : ", not right of a0 at " + Pel(a0) + " (rule: a0 < a1)");
      break;
    case Rule::kVerticalPastEnd:
      problem_ = "a vertical code puts the next change at " + Pel(at) + ", past " + end + " (rule: a1 <= width)";
      break;
    case Rule::kPassToEnd:
      problem_ = "a pass code moves a0 to b2 at " + Pel(at) + ", not left of " + end + " (rule: b2 < width)";
      break;
    case Rule::kNoRunCode:
      problem_ = "no " + colour + " run-length code here, in a horizontal code";
      break;
    case Rule::kRunPastEnd:
      problem_ = "a horizontal code's " + colour + " run of " + std::to_string(runPastEnd_) + " pels from " + Pel(at) +
                 " goes past " + end + " (rule: runs end within the width)";
      break;
    case Rule::kEmptyFirstRun:
      problem_ = "a horizontal code's " + colour + " run of 0 pels at " + Pel(at) +
                 ", not at the start of the line (rule: a0 < a1)";
      break;
    case Rule::kEmptySecondRun:
      problem_ = "a horizontal code's " + colour + " run of 0 pels at " + Pel(at) +
                 ", inside the line (rule: a1 < a2 unless a1 is the end of the line)";
      break;
    case Rule::kExtension:
      problem_ = "an extension code (uncompressed mode), which Group 4 data does not use";
      break;
    case Rule::kNoModeCode:
      problem_ = "no mode code here";
      break;
    case Rule::kEndOfLineInLine:
      problem_ = std::string("an end-of-line code inside the line") + kOnlyInEndOfBlock;
      break;
    case Rule::kEndOfLineAlone:
      problem_ = std::string("an end-of-line code not followed by a second one") + kOnlyInEndOfBlock;
      break;
  }
  return Stop(count, a0, LineOutcome::kInvalid);
}

// Positions are computed in 64 bits: a width near the 32-bit limit plus a
// vertical offset must not wrap. Every change kept is below the width, so
// it fits the 32-bit entries that Changes() hands out.
LineOutcome Group4Decoder::DecodeLine() {
  // A white line under a white line, the commonest line of a drawing, is
  // the one code V0: taken before the set-up of the general case.
  if (counts_[coding_] == 0 && static_cast<std::int64_t>(window_) < 0) {
    coding_ ^= 1u;
    counts_[coding_] = 0;
    std::int32_t* line = lines_[coding_].data();
    line[0] = line[1] = line[2] = width_;
    Skip(1);
    return LineOutcome::kDecoded;
  }
  // The line decoded last becomes the line above; it ends in three
  // sentinels at the width, since b1 and b2 may lie one or two entries past
  // its last change.
  const std::int32_t* ref = lines_[coding_].data();
  coding_ ^= 1u;
  std::vector<std::int32_t>& coding = lines_[coding_];
  const std::int64_t width = width_;
  std::int64_t a0 = -1;  // the imaginary white pel before the line
  unsigned colour = 0;   // of the run at a0: 0 white, 1 black
  std::size_t i = 0;
  std::size_t count = 0;
  std::int32_t* out = coding.data();
  std::size_t room = coding.size();
  while (a0 < width) {
    // b1: the first change on the line above right of a0 whose colour is
    // the opposite of a0's; changes at even positions turn to black.
    while (ref[i] <= a0) ++i;
    const std::size_t b = i + ((i ^ colour) & 1u);
    const std::int64_t b1 = ref[b];
    if (count + 5 > room) {
      // Two more changes, and the three sentinels when this becomes the
      // line above.
      room *= 2;
      coding.resize(room);
      out = coding.data();
    }
    // V0 (a1 = b1), by far the most common code, is the one bit 1: taken
    // before the table. It needs no check: b1 lies right of a0, at most at
    // the end of the line. Unread bits of the window are zero.
    if (static_cast<std::int64_t>(window_) < 0) {
      Skip(1);
      if (b1 < width) out[count++] = static_cast<std::int32_t>(b1);
      a0 = b1;
      colour ^= 1u;
      continue;
    }

    codeStart_ = BitsRead();
    const bool whole = Fill(kModeBits);
    const ModeEntry entry = kModes[Peek(kModeBits)];
    if (entry.length > windowBits_ || (!whole && entry.mode == Mode::kZeros)) {
      return Stop(count, a0, LineOutcome::kDataEnds);
    }
    // Most codes are vertical: they come first.
    if (entry.mode == Mode::kVertical) {
      Skip(entry.length);
      // a1 lies right of a0 (at the start of a line a0 is the imaginary pel
      // before it, so the first pel may be black) and at most at the end of
      // the line.
      const std::int64_t a1 = b1 + entry.offset;
      if (a1 <= a0) return Broken(Rule::kVerticalNotRight, count, a0, a1);
      if (a1 > width) return Broken(Rule::kVerticalPastEnd, count, a0, a1);
      if (a1 < width) out[count++] = static_cast<std::int32_t>(a1);
      a0 = a1;
      colour ^= 1u;
      continue;
    }
    switch (entry.mode) {
      case Mode::kPass: {
        Skip(entry.length);
        // A pass leaves the run open, so it cannot end the line.
        const std::int64_t b2 = ref[b + 1];
        if (b2 >= width) return Broken(Rule::kPassToEnd, count, a0, b2);
        a0 = b2;
        break;
      }
      case Mode::kHorizontal: {
        Skip(entry.length);
        const bool black = colour != 0;
        const std::int64_t start = a0 < 0 ? 0 : a0;
        const std::int64_t first = DecodeRun(black, width - start);
        if (first == kRunDataEnds) return Stop(count, a0, LineOutcome::kDataEnds);
        if (first < 0) return Broken(first == kRunNoCode ? Rule::kNoRunCode : Rule::kRunPastEnd, count, a0, start, black);
        // Only the first run of a line may be empty: a line that begins black.
        if (first == 0 && a0 >= 0) return Broken(Rule::kEmptyFirstRun, count, a0, a0, black);
        const std::int64_t a1 = start + first;
        const std::int64_t second = DecodeRun(!black, width - a1);
        if (second == kRunDataEnds) return Stop(count, a0, LineOutcome::kDataEnds);
        if (second < 0) return Broken(second == kRunNoCode ? Rule::kNoRunCode : Rule::kRunPastEnd, count, a0, a1, !black);
        // The second run may be empty only where the first one ends the line.
        if (second == 0 && a1 < width) return Broken(Rule::kEmptySecondRun, count, a0, a1, !black);
        const std::int64_t a2 = a1 + second;
        if (a1 < width) out[count++] = static_cast<std::int32_t>(a1);
        if (a2 < width) out[count++] = static_cast<std::int32_t>(a2);
        a0 = a2;
        break;
      }
      case Mode::kExtension:
        return Broken(Rule::kExtension, count, a0);
      case Mode::kZeros: {
        if (!Fill(24) && windowBits_ < 12) return Stop(count, a0, LineOutcome::kDataEnds);
        if (Peek(12) != kEndOfLine) return Broken(Rule::kNoModeCode, count, a0);
        if (a0 >= 0) return Broken(Rule::kEndOfLineInLine, count, a0);
        // An end-of-line code where a line would begin: the end-of-block
        // code, or what the data holds of one where it ends.
        const int have = std::min(windowBits_, 24);
        if (Peek(have) != kEndOfBlock >> (24 - have)) return Broken(Rule::kEndOfLineAlone, count, a0);
        Skip(have);
        return Stop(count, a0, LineOutcome::kEndOfBlock);
      }
      case Mode::kVertical:
        break;
    }
  }
  counts_[coding_] = count;
  // Room for these is kept above.
  out[count] = out[count + 1] = out[count + 2] = width_;
  return LineOutcome::kDecoded;
}

TailOutcome Group4Decoder::ReadEndOfBlock() {
  Fill(24);
  if (windowBits_ >= 24 && Peek(24) == kEndOfBlock) {
    Skip(24);
    return TailOutcome::kEndOfBlock;
  }
  if (windowBits_ >= 12 && Peek(12) == kEndOfLine) {
    const int rest = std::min(windowBits_ - 12, 12);
    const bool restFits = rest == 0 || (Peek(12 + rest) & ((1u << rest) - 1)) == (kEndOfLine >> (12 - rest));
    if (windowBits_ < 24 && restFits) {
      Skip(windowBits_);
      return TailOutcome::kCutEndOfBlock;
    }
  }
  // The zero bits that fill the last byte are no data; a few more zero
  // bits are the start of an end-of-line code.
  if (window_ == 0 && windowBits_ < 8) return TailOutcome::kNothing;
  if (window_ == 0 && windowBits_ < 12) return TailOutcome::kCutEndOfBlock;
  return TailOutcome::kOtherData;
}

TrailingBytes Group4Decoder::CountTrailingBytes() {
  TrailingBytes trailing;
  Skip(windowBits_ % 8);  // to the end of the byte that holds the last bit read
  trailing.count = static_cast<std::uint64_t>(windowBits_ / 8);
  trailing.allZero = window_ == 0;
  Skip(windowBits_);
  while (true) {
    const std::span<const std::uint8_t> rest = piece_.subspan(piecePos_);
    trailing.count += rest.size();
    if (trailing.allZero) trailing.allZero = std::all_of(rest.begin(), rest.end(), [](std::uint8_t b) { return b == 0; });
    piecePos_ = piece_.size();
    if (sourceEnded_) break;
    piece_ = source_.Next();
    piecePos_ = 0;
    if (piece_.empty()) sourceEnded_ = true;
  }
  return trailing;
}

void PaintLine(std::span<const std::int32_t> changes, std::span<std::uint8_t> pels) {
  std::uint8_t colour = 0;
  std::size_t from = 0;
  for (const std::int32_t change : changes) {
    const auto to = std::min(static_cast<std::size_t>(change), pels.size());
    std::fill(pels.begin() + static_cast<std::ptrdiff_t>(from), pels.begin() + static_cast<std::ptrdiff_t>(to), colour);
    from = to;
    colour ^= 1u;
  }
  std::fill(pels.begin() + static_cast<std::ptrdiff_t>(from), pels.end(), colour);
}

void PackLine(std::span<const std::int32_t> changes, std::int32_t width, std::span<std::uint8_t> packed) {
  std::fill(packed.begin(), packed.end(), std::uint8_t{0});
  const std::size_t end = std::min(static_cast<std::size_t>(std::max(width, 0)), packed.size() * 8);
  // Black runs only: from each even change to the next, or to the end.
  for (std::size_t k = 0; k < changes.size(); k += 2) {
    const std::size_t from = static_cast<std::size_t>(changes[k]);
    const std::size_t to = k + 1 < changes.size() ? std::min(static_cast<std::size_t>(changes[k + 1]), end) : end;
    if (from >= to) break;
    const std::size_t first = from / 8;
    const std::size_t last = (to - 1) / 8;
    const auto head = static_cast<std::uint8_t>(0xFFu >> (from % 8));
    const auto tail = static_cast<std::uint8_t>(0xFFu << (7 - (to - 1) % 8));
    if (first == last) {
      packed[first] |= static_cast<std::uint8_t>(head & tail);
    } else {
      packed[first] |= head;
      std::fill(packed.begin() + static_cast<std::ptrdiff_t>(first + 1), packed.begin() + static_cast<std::ptrdiff_t>(last),
                std::uint8_t{0xFF});
      packed[last] = tail;
    }
  }
}

}  // namespace cals::conformance
