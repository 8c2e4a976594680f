// The sample generator's Group 4 coder: known code words and bit strings,
// and pictures that decode back to themselves.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cals/conformance/group4_decoder.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/run_length_codes.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using samples::Bitmap;
using samples::Colour;
using samples::EncodeGroup4;

std::string Bits(const std::vector<std::uint8_t>& bytes) {
  std::string bits;
  for (std::uint8_t b : bytes) {
    for (int i = 7; i >= 0; --i) bits.push_back(((b >> i) & 1) ? '1' : '0');
  }
  return bits;
}

// Decoded with the raster check's decoder, which the differential test
// holds against libtiff.
void ExpectRoundTrip(const Bitmap& picture) {
  const std::vector<std::uint8_t> data = EncodeGroup4(picture);
  cals::conformance::MemorySource source(data);
  cals::conformance::Group4Decoder decoder(source, picture.width());
  std::vector<std::uint8_t> row(static_cast<std::size_t>(picture.width()));
  for (int y = 0; y < picture.height(); ++y) {
    ASSERT_EQ(decoder.DecodeLine(), cals::conformance::LineOutcome::kDecoded) << "row " << y << ": " << decoder.Problem();
    cals::conformance::PaintLine(decoder.Changes(), row);
    const auto expected = picture.Row(y);
    ASSERT_EQ(row, std::vector<std::uint8_t>(expected.begin(), expected.end())) << "row " << y;
  }
  EXPECT_EQ(decoder.ReadEndOfBlock(), cals::conformance::TailOutcome::kEndOfBlock);
}

TEST(RunLengthCodes, KnownCodeWordsOfTheStandard) {
  EXPECT_EQ(samples::TerminatingCode(Colour::kWhite, 0), "00110101");
  EXPECT_EQ(samples::TerminatingCode(Colour::kWhite, 63), "00110100");
  EXPECT_EQ(samples::TerminatingCode(Colour::kBlack, 0), "0000110111");
  EXPECT_EQ(samples::TerminatingCode(Colour::kBlack, 2), "11");
  EXPECT_EQ(samples::TerminatingCode(Colour::kBlack, 63), "000001100111");
  EXPECT_EQ(samples::MakeUpCode(Colour::kWhite, 64), "11011");
  EXPECT_EQ(samples::MakeUpCode(Colour::kWhite, 1728), "010011011");
  EXPECT_EQ(samples::MakeUpCode(Colour::kBlack, 64), "0000001111");
  EXPECT_EQ(samples::MakeUpCode(Colour::kBlack, 1728), "0000001100101");
  EXPECT_EQ(samples::MakeUpCode(Colour::kWhite, 1792), "00000001000");
  EXPECT_EQ(samples::MakeUpCode(Colour::kBlack, 2560), "000000011111");
}

TEST(RunLengthCodes, EachColourIsAPrefixFreeCodeWithEol) {
  for (Colour colour : {Colour::kWhite, Colour::kBlack}) {
    std::vector<std::string> words = {"000000000001"};
    for (int run = 0; run < 64; ++run) words.emplace_back(samples::TerminatingCode(colour, run));
    for (int run = 64; run <= 2560; run += 64) words.emplace_back(samples::MakeUpCode(colour, run));
    for (std::size_t i = 0; i < words.size(); ++i) {
      for (std::size_t j = 0; j < words.size(); ++j) {
        if (i != j) {
          EXPECT_NE(words[j].rfind(words[i], 0), 0u) << words[i] << " is a prefix of " << words[j];
        }
      }
    }
  }
}

TEST(RunLengthCodes, LongRunsUseMakeUpCodesThenATerminatingCode) {
  const auto codes = samples::RunCodes(Colour::kWhite, 2560 + 1792 + 5);
  ASSERT_EQ(codes.size(), 3u);
  EXPECT_EQ(codes[0], samples::MakeUpCode(Colour::kWhite, 2560));
  EXPECT_EQ(codes[1], samples::MakeUpCode(Colour::kWhite, 1792));
  EXPECT_EQ(codes[2], samples::TerminatingCode(Colour::kWhite, 5));
}

TEST(Group4Encoder, BlankPageIsOneV0PerRowThenEofb) {
  // 8 rows: eight "1" bits, then EOFB (two EOLs).
  EXPECT_EQ(EncodeGroup4(Bitmap(1728, 8)), (std::vector<std::uint8_t>{0xFF, 0x00, 0x10, 0x01}));
}

TEST(Group4Encoder, LoneBlackPixelUsesHorizontalModeThenV0) {
  Bitmap picture(8, 1);
  picture.Set(0, 0);
  // 001 horizontal, white 0, black 1, then V0 for the end of the row.
  const std::string expected = std::string("001") + "00110101" + "010" + "1" + "000000000001000000000001";
  EXPECT_EQ(Bits(EncodeGroup4(picture)).substr(0, expected.size()), expected);
}

TEST(Group4Encoder, SamplePicturesDecodeBackExactly) {
  ExpectRoundTrip(samples::A4Drawing());
  ExpectRoundTrip(samples::SmallScan(800, 600));
}

TEST(Group4Encoder, PassModesLongRunsAndOddWidthsDecodeBackExactly) {
  std::mt19937 random(7);
  for (int width : {1, 7, 9, 64, 2600, 5200}) {
    Bitmap picture(width, 40);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool noise = y < 10 && random() % 5 == 0;
        const bool stripes = y >= 10 && y < 20 && (x / 3 + y) % 2 == 0;  // short runs: pass and vertical modes
        const bool slab = y >= 30 && x > width / 3;                       // runs past 2560 pixels
        if (noise || stripes || slab) picture.Set(x, y);
      }
    }
    ExpectRoundTrip(picture);
  }
}

}  // namespace
