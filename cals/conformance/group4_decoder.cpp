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

constexpr int kRunInvalid = -1;
constexpr int kRunDataEnds = -2;
constexpr std::uint32_t kEndOfLine = 0b000000000001;  // 12 bits
constexpr std::uint32_t kEndOfBlock = kEndOfLine << 12 | kEndOfLine;

}  // namespace

Group4Decoder::Group4Decoder(ByteSource& source, std::int32_t width)
    : source_(source), width_(std::max<std::int32_t>(width, 1)) {}

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
  }
  return windowBits_ >= bits;
}

void Group4Decoder::Skip(int bits) {
  window_ = bits >= 64 ? 0 : window_ << bits;
  windowBits_ -= bits;
  bitsRead_ += static_cast<std::uint64_t>(bits);
}

int Group4Decoder::DecodeRun(bool black, std::int64_t room) {
  const RunTable& table = black ? BlackRuns() : WhiteRuns();
  const int bits = black ? kBlackBits : kWhiteBits;
  std::int64_t total = 0;
  while (true) {
    const bool whole = Fill(bits);
    const std::uint32_t entry = table[Peek(bits)];
    const int length = static_cast<int>(entry >> 16);
    if (entry == 0) {
      // Fewer bits than the longest word: they may be the start of one.
      if (!whole) return kRunDataEnds;
      problem_ = std::string("no ") + (black ? "black" : "white") + " run-length code here";
      return kRunInvalid;
    }
    if (length > windowBits_) return kRunDataEnds;
    Skip(length);
    const int run = static_cast<int>(entry & 0xFFFF);
    total += run;
    if (total > room) {
      problem_ = std::string("a ") + (black ? "black" : "white") + " run goes past the end of the line";
      return kRunInvalid;
    }
    if (run < 64) return static_cast<int>(total);
  }
}

void Group4Decoder::Append(std::int32_t position) {
  // Two changes at one position are a run of no pels: they cancel, which
  // keeps the line strictly increasing and no longer than the width.
  if (!coding_.empty() && coding_.back() == position) {
    coding_.pop_back();
  } else {
    coding_.push_back(position);
  }
}

LineOutcome Group4Decoder::Fail(std::string problem) {
  problem_ = std::move(problem);
  return LineOutcome::kInvalid;
}

LineOutcome Group4Decoder::DecodeLine() {
  std::swap(reference_, coding_);
  coding_.clear();
  // Sentinels: b1 and b2 may lie one or two entries past the last change.
  reference_.insert(reference_.end(), 3, width_);
  const std::int32_t* ref = reference_.data();
  const std::int32_t width = width_;
  std::int32_t a0 = -1;  // the imaginary white pel before the line
  unsigned colour = 0;   // of the run at a0: 0 white, 1 black
  std::size_t i = 0;
  while (a0 < width) {
    // b1: the first change on the line above right of a0 whose colour is
    // the opposite of a0's; changes at even positions turn to black.
    while (ref[i] <= a0) ++i;
    const std::size_t b = i + ((i ^ colour) & 1u);
    const std::int32_t b1 = ref[b];
    const std::int32_t b2 = ref[b + 1];

    codeStart_ = bitsRead_;
    const bool whole = Fill(kModeBits);
    const ModeEntry entry = kModes[Peek(kModeBits)];
    if (entry.length > windowBits_ || (!whole && entry.mode == Mode::kZeros)) return LineOutcome::kDataEnds;
    switch (entry.mode) {
      case Mode::kVertical: {
        Skip(entry.length);
        const std::int32_t a1 = b1 + entry.offset;
        if (a1 < a0 || a1 < 0 || a1 > width) {
          return Fail("a vertical code puts a change at pel " + std::to_string(a1) +
                      (a1 > width ? ", past the end of the line" : ", left of the one before it"));
        }
        if (a1 < width) Append(a1);
        a0 = a1;
        colour ^= 1u;
        break;
      }
      case Mode::kPass:
        Skip(entry.length);
        a0 = b2;
        break;
      case Mode::kHorizontal: {
        Skip(entry.length);
        const std::int32_t start = a0 < 0 ? 0 : a0;
        const int first = DecodeRun(colour != 0, width - start);
        if (first == kRunDataEnds) return LineOutcome::kDataEnds;
        if (first == kRunInvalid) return LineOutcome::kInvalid;
        const std::int32_t a1 = start + first;
        const int second = DecodeRun(colour == 0, width - a1);
        if (second == kRunDataEnds) return LineOutcome::kDataEnds;
        if (second == kRunInvalid) return LineOutcome::kInvalid;
        const std::int32_t a2 = a1 + second;
        if (a1 < width) Append(a1);
        if (a2 < width) Append(a2);
        a0 = a2;
        break;
      }
      case Mode::kExtension:
        return Fail("an extension code (uncompressed mode), which Group 4 rasters do not use");
      case Mode::kZeros:
        if (!Fill(24) && windowBits_ < 12) return LineOutcome::kDataEnds;
        if (Peek(12) != kEndOfLine) return Fail("no mode code here");
        if (a0 >= 0 || !coding_.empty()) return Fail("an end-of-line code inside the line");
        // An end-of-line where a line would begin: the end-of-block code,
        // or what is left of one.
        if (windowBits_ >= 24 && Peek(24) == kEndOfBlock) {
          Skip(24);
        } else {
          Skip(12);
        }
        return LineOutcome::kEndOfBlock;
    }
  }
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

}  // namespace cals::conformance
