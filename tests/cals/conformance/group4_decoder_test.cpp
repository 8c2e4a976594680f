// The decoder takes exactly the codes T.6 allows: one hand-made code
// sequence per precondition, each broken once (and the edge cases the
// standard does allow), with what the decoder says about it.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "cals/conformance/group4_decoder.h"

namespace {

using cals::conformance::Group4Decoder;
using cals::conformance::LineOutcome;

// Code words written as text; blanks only for reading.
std::vector<std::uint8_t> Bits(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  int used = 0;
  for (const char c : text) {
    if (c == ' ') continue;
    if (used % 8 == 0) bytes.push_back(0);
    if (c == '1') bytes.back() = static_cast<std::uint8_t>(bytes.back() | 0x80u >> (used % 8));
    ++used;
  }
  return bytes;
}

// Line 1 of width 8 with changes at 2 and 4 (white 2, black 2, white
// rest): H W2 B2, then V0 at the end.
constexpr const char* kTwoToFour = "001 0111 11 1 ";
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Case {
  const char* what;
  std::int32_t width;
  std::string bits;
  int decodedBefore;  // whole lines before the one that stops
  LineOutcome outcome;
  std::string problem;
  std::int64_t pel;
};

TEST(Group4Decoder, EachPreconditionBrokenGivesItsRule) {
  const std::string eofb = "000000000001 000000000001";
  const Case cases[] = {
      {"V0 after V0 that leaves a run of no pels", 8, std::string(kTwoToFour) + "1 000010", 1, LineOutcome::kInvalid,
       "a vertical code puts the next change at pel 2, not right of a0 at pel 2 (rule: a0 < a1)", 2},
      {"VL3 left of the first pel", 8, std::string(kTwoToFour) + "0000010", 1, LineOutcome::kInvalid,
       "a vertical code puts the next change at pel -1, left of the line's first pel (rule: a1 >= 0)", 0},
      {"VR1 past the end", 8, "011", 0, LineOutcome::kInvalid,
       "a vertical code puts the next change at pel 9, past the end of the line at pel 8 (rule: a1 <= width)", 0},
      {"VR3 past the largest width rpelcnt can give", kMax, "0000011", 0, LineOutcome::kInvalid,
       "a vertical code puts the next change at pel 2147483650, past the end of the line at pel 2147483647 (rule: a1 "
       "<= width)",
       0},
      {"pass at the line's start to its end", 8, "0001", 0, LineOutcome::kInvalid,
       "a pass code moves a0 to b2 at pel 8, not left of the end of the line at pel 8 (rule: b2 < width)", 0},
      {"second pass to the end", 8, std::string(kTwoToFour) + "0001 0001", 1, LineOutcome::kInvalid,
       "a pass code moves a0 to b2 at pel 8, not left of the end of the line at pel 8 (rule: b2 < width)", 4},
      {"white run past the end", 8, "001 10100 11", 0, LineOutcome::kInvalid,
       "a horizontal code's white run of 9 pels from pel 0 goes past the end of the line at pel 8 (rule: runs end "
       "within the width)",
       0},
      {"make-up code past the end", 100, "001 10010", 0, LineOutcome::kInvalid,
       "a horizontal code's white run of 128 pels from pel 0 goes past the end of the line at pel 100 (rule: runs end "
       "within the width)",
       0},
      {"black run past the end", 8, "001 1011 0011", 0, LineOutcome::kInvalid,
       "a horizontal code's black run of 5 pels from pel 4 goes past the end of the line at pel 8 (rule: runs end "
       "within the width)",
       0},
      {"empty first run after the line's start", 8, std::string(kTwoToFour) + "1 001 0000110111 0111", 1,
       LineOutcome::kInvalid,
       "a horizontal code's black run of 0 pels at pel 2, not at the start of the line (rule: a0 < a1)", 2},
      {"empty second run inside the line", 8, "001 1000 0000110111", 0, LineOutcome::kInvalid,
       "a horizontal code's black run of 0 pels at pel 3, inside the line (rule: a1 < a2 unless a1 is the end of the "
       "line)",
       0},
      {"no run-length code", 8, "001 000000000000", 0, LineOutcome::kInvalid,
       "no white run-length code here, in a horizontal code", 0},
      {"extension code", 8, "0000001 111", 0, LineOutcome::kInvalid,
       "an extension code (uncompressed mode), which Group 4 data does not use", 0},
      {"no mode code", 8, "0000000000000001", 0, LineOutcome::kInvalid, "no mode code here", 0},
      {"end-of-line code inside a line", 8, std::string(kTwoToFour) + "1 000000000001", 1, LineOutcome::kInvalid,
       "an end-of-line code inside the line (rule: Group 4 data has end-of-line codes only in its end-of-block code, "
       "two of them)",
       2},
      {"end-of-line code alone", 8, "000000000001 100000000000", 0, LineOutcome::kInvalid,
       "an end-of-line code not followed by a second one (rule: Group 4 data has end-of-line codes only in its "
       "end-of-block code, two of them)",
       0},
      // What T.6 allows at the edges.
      {"empty first run at the line's start", 8, "001 00110101 10 1" + eofb, 1, LineOutcome::kEndOfBlock, "", 0},
      {"empty second run where the first ends the line", 8, "001 10011 0000110111" + eofb, 1,
       LineOutcome::kEndOfBlock, "", 0},
      {"V0 to the end under a line that ends black", 8, "001 0111 0010 1 1" + eofb, 2, LineOutcome::kEndOfBlock, "", 0},
      {"data ends inside the end-of-block code", 8, "1 000000000001 0000", 1, LineOutcome::kEndOfBlock, "", 0},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> data = Bits(c.bits);
    cals::conformance::MemorySource source(data);
    Group4Decoder decoder(source, c.width);
    int decoded = 0;
    LineOutcome outcome;
    while ((outcome = decoder.DecodeLine()) == LineOutcome::kDecoded && decoded < 10) ++decoded;
    EXPECT_EQ(decoded, c.decodedBefore) << c.what;
    EXPECT_EQ(outcome, c.outcome) << c.what;
    if (c.outcome != LineOutcome::kInvalid) continue;
    EXPECT_EQ(decoder.Problem(), c.problem) << c.what;
    EXPECT_EQ(decoder.ProblemPel(), c.pel) << c.what;
  }
}

// The packed pels a viewer takes: runs across byte edges and to the end.
TEST(Group4Decoder, PackLineSetsTheBlackRuns) {
  std::vector<std::uint8_t> packed(3, 0xAA);
  const std::vector<std::int32_t> changes = {1, 3, 6, 17, 20};
  cals::conformance::PackLine(changes, 22, packed);
  EXPECT_EQ(packed, (std::vector<std::uint8_t>{0x63, 0xFF, 0x8C}));
}

}  // namespace
