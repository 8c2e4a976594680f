// The raster decoder against libtiff: the same Group 4 data, held by
// libtiff as a TIFF strip in memory, must give the same pels. The data comes
// from the sample generator's coder and from libtiff's own, so neither
// coder's habits decide what the decoder is tried on.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <string>

#include "cals/conformance/file_check.h"
#include "cals/conformance/group4_decoder.h"
#include "tests/support/libtiff_group4.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using testing_support::Pels;

struct Picture {
  std::string name;
  int width;
  int height;
  Pels pels;
};

Picture FromBitmap(std::string name, const samples::Bitmap& bitmap) {
  Picture picture{std::move(name), bitmap.width(), bitmap.height(), {}};
  for (int y = 0; y < bitmap.height(); ++y) {
    const auto row = bitmap.Row(y);
    picture.pels.insert(picture.pels.end(), row.begin(), row.end());
  }
  return picture;
}

samples::Bitmap ToBitmap(const Picture& picture) {
  samples::Bitmap bitmap(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.pels[static_cast<std::size_t>(y * picture.width + x)] != 0) bitmap.Set(x, y);
    }
  }
  return bitmap;
}

std::optional<Pels> OurDecode(std::span<const std::uint8_t> data, int width, int height) {
  cals::conformance::MemorySource source(data);
  cals::conformance::Group4Decoder decoder(source, width);
  Pels pels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    if (decoder.DecodeLine() != cals::conformance::LineOutcome::kDecoded) return std::nullopt;
    cals::conformance::PaintLine(
        decoder.Changes(), std::span<std::uint8_t>(pels).subspan(static_cast<std::size_t>(y) * width, width));
  }
  return pels;
}

// Random bitmaps and edge cases: all white, all black, lines one pel wide
// or high, noise of several densities, long runs; widths of 1 pel, around
// byte boundaries and past the longest make-up code.
std::vector<Picture> Pictures() {
  std::vector<Picture> pictures = {FromBitmap("A4 drawing", samples::A4Drawing()),
                                   FromBitmap("small scan", samples::SmallScan(800, 600)),
                                   FromBitmap("archive scan", samples::SmallScan(1200, 800))};
  std::mt19937 random(28002);
  for (int width : {1, 2, 7, 8, 9, 13, 63, 64, 65, 1727, 1729, 2561, 5200}) {
    const int height = width < 64 ? 40 : 12;
    const auto add = [&](const std::string& kind, auto black) {
      Picture picture{kind + ", width " + std::to_string(width), width, height, {}};
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.pels.push_back(black(x, y) ? 1 : 0);
      }
      pictures.push_back(std::move(picture));
    };
    add("all white", [](int, int) { return false; });
    add("all black", [](int, int) { return true; });
    add("one-pel lines", [](int x, int y) { return x % 5 == 0 || y % 3 == 1; });
    for (unsigned percent : {2u, 50u, 97u}) {
      add("noise " + std::to_string(percent) + "%", [&](int, int) { return random() % 100 < percent; });
    }
    add("slabs", [&](int x, int y) { return (y / 4) % 2 == 0 ? x > width / 3 : x < width - 2; });
  }
  return pictures;
}

TEST(LibtiffDifferential, SameDataGivesTheSamePels) {
  for (const Picture& picture : Pictures()) {
    const std::vector<std::uint8_t> ours = samples::EncodeGroup4(ToBitmap(picture));
    const std::vector<std::uint8_t> theirs = testing_support::LibtiffEncodeGroup4(picture.pels, picture.width, picture.height);
    for (const auto& [coder, data] : {std::pair{"our coder", &ours}, std::pair{"libtiff's coder", &theirs}}) {
      const std::optional<Pels> decoded = OurDecode(*data, picture.width, picture.height);
      const std::optional<Pels> reference = testing_support::LibtiffDecodeGroup4(*data, picture.width, picture.height);
      ASSERT_TRUE(reference) << picture.name << ", " << coder << ": libtiff refuses the data";
      ASSERT_TRUE(decoded) << picture.name << ", " << coder << ": the decoder refuses the data";
      EXPECT_TRUE(*decoded == *reference) << picture.name << ", " << coder << ": the pels differ from libtiff's";
      EXPECT_TRUE(*decoded == picture.pels) << picture.name << ", " << coder << ": the pels differ from the picture";
    }
  }
}

// Every single-bit flip of a few small rasters, each checked as a whole
// file: where libtiff complains (an error or a warning such as "Line length
// mismatch"), the check must not call the file ok. The check is stricter
// than libtiff, so it finds more; those are counted, not required.
TEST(LibtiffDifferential, NoFlipThatLibtiffRejectsIsOk) {
  std::mt19937 random(510);
  std::vector<Picture> pictures;
  Picture checkerboard{"9 x 9 checkerboard", 9, 9, {}};
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) checkerboard.pels.push_back(static_cast<std::uint8_t>((x + y) % 2));
  }
  pictures.push_back(checkerboard);
  Picture noise{"40 x 12 noise", 40, 12, {}};
  for (int i = 0; i < 40 * 12; ++i) noise.pels.push_back(random() % 3 == 0 ? 1 : 0);
  pictures.push_back(noise);
  pictures.push_back(FromBitmap("64 x 24 scan", samples::SmallScan(64, 24)));

  int flips = 0;
  int rejected = 0;
  int notOk = 0;
  for (const Picture& picture : pictures) {
    const std::vector<std::uint8_t> ours = samples::EncodeGroup4(ToBitmap(picture));
    const std::vector<std::uint8_t> theirs =
        testing_support::LibtiffEncodeGroup4(picture.pels, picture.width, picture.height);
    const std::string header =
        samples::BuildHeader(samples::StandardRecords(picture.width, picture.height, 200, "NONE", "NONE"));
    for (const auto* raster : {&ours, &theirs}) {
      for (std::size_t bit = 0; bit < raster->size() * 8; ++bit) {
        std::vector<std::uint8_t> flipped = *raster;
        flipped[bit / 8] = static_cast<std::uint8_t>(flipped[bit / 8] ^ (0x80u >> (bit % 8)));
        std::string file = header + std::string(flipped.begin(), flipped.end());
        cals::conformance::MemorySource source(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
        const bool ok = cals::conformance::CheckFile(source).findings.empty();
        const std::optional<std::string> complaint =
            testing_support::LibtiffComplaint(flipped, picture.width, picture.height);
        ++flips;
        rejected += complaint ? 1 : 0;
        notOk += ok ? 0 : 1;
        EXPECT_FALSE(complaint && ok) << picture.name << ", bit " << bit << ": libtiff says " << *complaint
                                      << ", the check says ok";
      }
    }
  }
  // For the record: how many flips each side catches.
  std::cout << flips << " flips: libtiff complains of " << rejected << ", the check does not call " << notOk
            << " ok\n";
}

}  // namespace
