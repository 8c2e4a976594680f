#include "tools/calsvar/picture/run_deflater.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <queue>

namespace calsvar::picture {
namespace {

constexpr std::uint32_t kLongestMatch = 258;
constexpr std::uint32_t kShortestMatch = 3;
constexpr unsigned kEndOfBlock = 256;
constexpr std::size_t kBlockSymbols = 32 * 1024;
constexpr unsigned kLongestCode = 15;
constexpr unsigned kLongestLengthCode = 7;
constexpr std::uint64_t kAdlerBase = 65521;

struct MatchLength {
  std::uint16_t symbol;
  std::uint8_t extraBits;
  std::uint8_t extra;
};

// Every match length from 3 to 258 as its length symbol and extra bits.
constexpr std::array<MatchLength, kLongestMatch + 1> kMatchLengths = [] {
  constexpr std::array<unsigned, 29> base = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr std::array<unsigned, 29> extraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  std::array<MatchLength, kLongestMatch + 1> lengths{};
  for (unsigned code = 0; code < base.size(); ++code) {
    const unsigned last = code + 1 < base.size() ? base[code + 1] - 1 : kLongestMatch;
    for (unsigned length = base[code]; length <= last; ++length) {
      lengths[length] = {static_cast<std::uint16_t>(257 + code), static_cast<std::uint8_t>(extraBits[code]),
                         static_cast<std::uint8_t>(length - base[code])};
    }
  }
  return lengths;
}();

// The order in which a block's header gives the code lengths' own code.
constexpr std::array<unsigned, 19> kLengthCodeOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Huffman code lengths for `uses`, none longer than `longest`: when the
// tree is too deep, the counts are halved (a used symbol stays used) and
// the tree built again. At least two symbols get a code, as inflaters
// want a complete code.
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> uses, unsigned longest) {
  std::size_t used = static_cast<std::size_t>(std::count_if(uses.begin(), uses.end(), [](auto n) { return n > 0; }));
  for (std::size_t i = 0; used < 2; ++i) {
    if (uses[i] == 0) uses[i] = 1, ++used;
  }
  while (true) {
    // Leaves are 0..n-1, inner nodes after them; parent links give depths.
    const std::size_t n = uses.size();
    std::vector<std::size_t> parent(2 * n, 0);
    using Node = std::pair<std::uint64_t, std::size_t>;
    std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
    for (std::size_t i = 0; i < n; ++i) {
      if (uses[i] > 0) queue.push({uses[i], i});
    }
    std::size_t next = n;
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      parent[a.second] = parent[b.second] = next;
      queue.push({a.first + b.first, next++});
    }
    const std::size_t root = next - 1;
    std::vector<std::uint8_t> lengths(n, 0);
    std::vector<unsigned> depth(2 * n, 0);  // the root's is 0; parents come after children
    for (std::size_t node = root; node-- > n;) depth[node] = depth[parent[node]] + 1;
    unsigned deepest = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (uses[i] == 0) continue;
      lengths[i] = static_cast<std::uint8_t>(depth[parent[i]] + 1);
      deepest = std::max<unsigned>(deepest, lengths[i]);
    }
    if (deepest <= longest) return lengths;
    for (auto& count : uses) count = count == 0 ? 0 : (count + 1) / 2;
  }
}

// The canonical codes of `lengths`, bit-reversed: deflate sends a Huffman
// code first bit first, into the low end of its bit stream.
std::vector<std::uint16_t> Codes(const std::vector<std::uint8_t>& lengths) {
  std::array<unsigned, kLongestCode + 2> count{};
  for (const std::uint8_t length : lengths) ++count[length];
  count[0] = 0;
  std::array<unsigned, kLongestCode + 2> next{};
  for (unsigned bits = 1, code = 0; bits <= kLongestCode; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    const unsigned length = lengths[i];
    if (length == 0) continue;
    const unsigned code = next[length]++;
    unsigned reversed = 0;
    for (unsigned bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1u) << (length - 1 - bit);
    codes[i] = static_cast<std::uint16_t>(reversed);
  }
  return codes;
}

}  // namespace

RunDeflater::RunDeflater(std::vector<std::uint8_t>& out) : out_(out) {
  out_.push_back(0x78);  // deflate, 32 KiB window
  out_.push_back(0x01);  // no dictionary, fastest; the two bytes a multiple of 31
  block_.reserve(kBlockSymbols);
}

void RunDeflater::Bits(std::uint32_t bits, unsigned count) {
  bitBuffer_ |= std::uint64_t{bits} << bitCount_;
  bitCount_ += count;
  if (bitCount_ >= 32) Flush();
}

void RunDeflater::Flush() {
  while (bitCount_ >= 8) {
    out_.push_back(static_cast<std::uint8_t>(bitBuffer_));
    bitBuffer_ >>= 8;
    bitCount_ -= 8;
  }
}

void RunDeflater::Literal(std::uint8_t byte) {
  block_.push_back(byte);
  ++uses_[byte];
  if (block_.size() >= kBlockSymbols) WriteBlock(false);
}

void RunDeflater::EndRun() {
  if (run_ >= kShortestMatch) {
    block_.push_back(static_cast<std::uint16_t>(kMatchFlag | run_));
    ++uses_[kMatchLengths[run_].symbol];
    if (block_.size() >= kBlockSymbols) WriteBlock(false);
  } else {
    for (std::uint32_t i = 0; i < run_; ++i) Literal(static_cast<std::uint8_t>(previous_));
  }
  run_ = 0;
}

// The checksum of `count` more bytes of `value`, in closed form: a run
// costs what one byte does.
void RunDeflater::Checksum(std::uint8_t value, std::uint64_t count) {
  const std::uint64_t n = count % kAdlerBase;
  const std::uint64_t triangle = (count % (2 * kAdlerBase)) * ((count + 1) % (2 * kAdlerBase)) / 2 % kAdlerBase;
  adlerB_ = (adlerB_ + n * adlerA_ + value * triangle) % kAdlerBase;
  adlerA_ = (adlerA_ + n * value) % kAdlerBase;
}

void RunDeflater::Put(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* at = bytes.data();
  const std::uint8_t* const end = at + bytes.size();
  while (at < end) {
    if (*at != previous_) {
      EndRun();
      previous_ = *at;
      Checksum(*at, 1);
      Literal(*at++);
      continue;
    }
    // Eight bytes at a time through the run: white rows are long.
    const std::uint64_t pattern = 0x0101010101010101ull * static_cast<std::uint8_t>(previous_);
    const std::uint8_t* runEnd = at;
    for (std::uint64_t word; end - runEnd >= 8; runEnd += 8) {
      std::memcpy(&word, runEnd, sizeof word);
      if (word != pattern) break;
    }
    while (runEnd < end && *runEnd == previous_) ++runEnd;
    Checksum(static_cast<std::uint8_t>(previous_), static_cast<std::uint64_t>(runEnd - at));
    run_ += static_cast<std::uint32_t>(runEnd - at);
    at = runEnd;
    // Up to a longest match stays pending: the run may go on.
    while (run_ > kLongestMatch) {
      const std::uint32_t rest = run_ - kLongestMatch;
      run_ = kLongestMatch;
      EndRun();
      run_ = rest;
    }
  }
}

void RunDeflater::WriteBlock(bool last) {
  ++uses_[kEndOfBlock];
  const std::vector<std::uint8_t> literalLengths = CodeLengths({uses_.begin(), uses_.end()}, kLongestCode);
  // Distance one is the only distance; a second code keeps the code complete.
  const std::vector<std::uint8_t> distanceLengths = {1, 1};
  const std::vector<std::uint16_t> literalCodes = Codes(literalLengths);

  std::size_t literalCount = literalLengths.size();
  while (literalCount > 257 && literalLengths[literalCount - 1] == 0) --literalCount;
  std::vector<std::uint8_t> allLengths(literalLengths.begin(), literalLengths.begin() + static_cast<std::ptrdiff_t>(literalCount));
  allLengths.insert(allLengths.end(), distanceLengths.begin(), distanceLengths.end());
  std::vector<std::uint32_t> lengthUses(19, 0);
  for (const std::uint8_t length : allLengths) ++lengthUses[length];
  const std::vector<std::uint8_t> lengthLengths = CodeLengths(lengthUses, kLongestLengthCode);
  const std::vector<std::uint16_t> lengthCodes = Codes(lengthLengths);
  std::size_t orderCount = kLengthCodeOrder.size();
  while (orderCount > 4 && lengthLengths[kLengthCodeOrder[orderCount - 1]] == 0) --orderCount;

  Bits(last ? 1 : 0, 1);
  Bits(2, 2);  // Huffman codes of its own
  Bits(static_cast<std::uint32_t>(literalCount - 257), 5);
  Bits(static_cast<std::uint32_t>(distanceLengths.size() - 1), 5);
  Bits(static_cast<std::uint32_t>(orderCount - 4), 4);
  for (std::size_t i = 0; i < orderCount; ++i) Bits(lengthLengths[kLengthCodeOrder[i]], 3);
  for (const std::uint8_t length : allLengths) Bits(lengthCodes[length], lengthLengths[length]);

  for (const std::uint16_t symbol : block_) {
    if ((symbol & kMatchFlag) == 0) {
      Bits(literalCodes[symbol], literalLengths[symbol]);
      continue;
    }
    const MatchLength& match = kMatchLengths[symbol & ~kMatchFlag];
    Bits(literalCodes[match.symbol], literalLengths[match.symbol]);
    Bits(match.extra, match.extraBits);
    Bits(0, 1);  // distance one, the first distance code
  }
  Bits(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);
  block_.clear();
  uses_.fill(0);
}

void RunDeflater::Finish() {
  EndRun();
  WriteBlock(true);
  Bits(0, (8 - bitCount_ % 8) % 8);
  Flush();
  const auto adler = static_cast<std::uint32_t>(adlerB_ << 16 | adlerA_);
  for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(static_cast<std::uint8_t>(adler >> shift));
}

}  // namespace calsvar::picture
