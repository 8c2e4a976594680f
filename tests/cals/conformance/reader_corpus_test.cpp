// Valid files from every writer at hand (ImageMagick, GDAL, libtiff's coder
// under our header, our own coder), each read back by ImageMagick and GDAL
// pel-exact: the check calls every one ok (and every file written that a
// reader fails on an error). Then every single-bit flip of the small ones:
// none that libtiff complains of is ok. Skips where the
// readers are not installed; prints the counts for the record.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <random>

#include "cals/conformance/file_check.h"
#include "tests/cals/conformance/check_lines.h"
#include "tests/support/cals_readers.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using testing_support::CalsPrograms;
using testing_support::Picture;

Picture Drawn(int width, int height, const std::function<bool(int, int)>& black) {
  Picture picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.pels.push_back(black(x, y) ? 1 : 0);
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

Picture FromBitmap(const samples::Bitmap& bitmap) {
  return Drawn(bitmap.width(), bitmap.height(),
               [&](int x, int y) { return bitmap.Row(y)[static_cast<std::size_t>(x)] != 0; });
}

// Widths of 1 pel, around byte edges and past the longest make-up code;
// white, black, checkerboard, noise, text-like scan, lines at the edges.
std::vector<std::pair<std::string, Picture>> Pictures() {
  std::mt19937 random(28);
  return {
      {"1 x 1 black", Drawn(1, 1, [](int, int) { return true; })},
      {"9 x 9 checkerboard", Drawn(9, 9, [](int x, int y) { return (x + y) % 2 == 1; })},
      {"40 x 30 noise", Drawn(40, 30, [&](int, int) { return random() % 2 == 0; })},
      {"17 x 300 black", Drawn(17, 300, [](int, int) { return true; })},
      {"300 x 200 scan", FromBitmap(samples::SmallScan(300, 200))},
      {"1729 x 12 edge lines",
       Drawn(1729, 12, [](int x, int y) { return x == 0 || x == 1728 || y == 0 || y == 11 || x % 97 == 3; })},
      {"2600 x 6 long runs", Drawn(2600, 6, [](int x, int y) { return (x > 2570) != (y % 2 == 0); })},
      {"64 x 40 white", Drawn(64, 40, [](int, int) { return false; })},
  };
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

cals::conformance::FileReport Check(const std::string& file) {
  cals::conformance::MemorySource source(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  return cals::conformance::CheckFile(source);
}

TEST(ReaderCorpus, ValidFilesOfEveryWriterAreOkAndNoFlipLibtiffRejectsIs) {
  if (!CalsPrograms::Installed()) GTEST_SKIP() << "ImageMagick (convert) or GDAL (gdal_translate) is not installed";
  CalsPrograms programs;
  int files = 0;
  int broken = 0;
  int flips = 0;
  int rejected = 0;
  for (const auto& [name, picture] : Pictures()) {
    std::vector<std::pair<std::string, std::string>> written;  // writer, file
    const std::filesystem::path path = programs.folder() / "written.cal";
    if (programs.WriteWithImageMagick(picture, path)) written.emplace_back("ImageMagick", ReadAll(path));
    if (programs.WriteWithGdal(picture, path)) written.emplace_back("GDAL", ReadAll(path));
    const std::string header =
        samples::BuildHeader(samples::StandardRecords(picture.width, picture.height, 200, "NONE", "NONE"));
    const std::vector<std::uint8_t> theirs =
        testing_support::LibtiffEncodeGroup4(picture.pels, picture.width, picture.height);
    written.emplace_back("libtiff", header + std::string(theirs.begin(), theirs.end()));
    const std::vector<std::uint8_t> ours = samples::EncodeGroup4(ToBitmap(picture));
    written.emplace_back("our coder", header + std::string(ours.begin(), ours.end()));
    EXPECT_EQ(written.size(), 4u) << name << ": a writer failed";

    for (const auto& [writer, file] : written) {
      const std::string what = name + " by " + writer;
      std::ofstream(path, std::ios::binary) << file;
      // A file a reader does not read back is no valid file: GDAL writes no
      // raster at all for an all-white picture. The check must call it an
      // error.
      if (programs.ReadWithImageMagick(path).picture != picture || programs.ReadWithGdal(path).picture != picture) {
        ++broken;
        EXPECT_TRUE(cals::conformance::HasErrors(Check(file).findings)) << what << ": the readers fail on it";
        continue;
      }
      ++files;
      EXPECT_EQ(conformance_test::CheckLines(Check(file)), std::vector<std::string>{}) << what;

      // Every bit of a small raster flipped in turn.
      if (file.size() > 2048 + 256) continue;
      for (std::size_t bit = 2048 * 8; bit < file.size() * 8; ++bit) {
        std::string flipped = file;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (0x80 >> (bit % 8)));
        const std::span<const std::uint8_t> raster(reinterpret_cast<const std::uint8_t*>(flipped.data()) + 2048,
                                                   flipped.size() - 2048);
        const std::optional<std::string> complaint =
            testing_support::LibtiffComplaint(raster, picture.width, picture.height);
        ++flips;
        if (!complaint) continue;
        ++rejected;
        EXPECT_FALSE(Check(flipped).findings.empty())
            << what << ", bit " << bit - 2048 * 8 << " of the raster: libtiff says " << *complaint << ", check says ok";
      }
    }
  }
  std::cout << files << " valid files from 4 writers, all ok; " << broken << " written that the readers fail on, all errors; "
            << flips << " single-bit flips of the small ones, " << rejected
            << " of them rejected by libtiff\n";
}

}  // namespace
