// The rendered page: the right way up for every rorient, the bundled
// samples pel for pel as the sample generator drew them, area averaging
// against a pel-by-pel reference, and rasters that stop decoding.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cals/conformance/byte_source.h"
#include "cals/picture/hatching.h"
#include "cals/picture/page_renderer.h"
#include "tests/cals/picture/page_buffer.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/drawing.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using cals::picture::RenderOptions;
using cals::picture::RenderResult;
using cals::picture::RenderStatus;
using picture_test::PageBuffer;

std::vector<std::uint8_t> CalsFile(const samples::Bitmap& picture, const std::string& rorient = "000,270") {
  std::vector<std::string> records = samples::StandardRecords(picture.width(), picture.height(), 200, "T-1", "NONE");
  records[7] = "rorient: " + rorient;
  const std::string header = samples::BuildHeader(records);
  std::vector<std::uint8_t> file(header.begin(), header.end());
  const std::vector<std::uint8_t> raster = samples::EncodeGroup4(picture);
  file.insert(file.end(), raster.begin(), raster.end());
  return file;
}

std::vector<std::uint8_t> Sample(const std::string& name) {
  std::ifstream in(std::filesystem::path(MIROTEX_SOURCE_DIR) / "samples" / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RenderResult Render(const std::vector<std::uint8_t>& file, PageBuffer& page, RenderOptions options = {}) {
  cals::conformance::MemorySource source(file);
  return cals::picture::RenderPage(source, options, page);
}

// The stored raster: a 12-pel square at the first pel of the first line,
// a 4-pel square at the end of that line.
samples::Bitmap Marked() {
  samples::Bitmap picture(60, 40);
  samples::FillRect(picture, 0, 0, 11, 11);
  samples::FillRect(picture, 56, 0, 59, 3);
  return picture;
}

enum Corner { kTopLeft, kTopRight, kBottomLeft, kBottomRight };

struct OrientationCase {
  const char* rorient;
  bool turned;
  std::int32_t width;
  std::int32_t height;
  Corner firstPel;  // where the first pel of the first stored line shows
  Corner lineEnd;   // where that line's last pel shows
};

// Checks the square marks in the page's corners: the big one reaches
// `deep` pels in, the small one only `shallow`.
void ExpectCorners(const PageBuffer& page, const OrientationCase& c, int shallow, int deep) {
  for (const Corner corner : {kTopLeft, kTopRight, kBottomLeft, kBottomRight}) {
    const auto at = [&](int inset) {
      const std::int32_t x = (corner == kTopLeft || corner == kBottomLeft) ? inset : page.width() - 1 - inset;
      const std::int32_t y = (corner == kTopLeft || corner == kTopRight) ? inset : page.height() - 1 - inset;
      return page.Black(x, y);
    };
    EXPECT_EQ(at(0), corner == c.firstPel || corner == c.lineEnd) << c.rorient << " corner " << corner;
    EXPECT_EQ(at(shallow), corner == c.firstPel) << c.rorient << " corner " << corner;
    EXPECT_FALSE(at(deep)) << c.rorient << " corner " << corner;
  }
}

TEST(PageRenderer, EachOrientationShowsThePageTheRightWayUp) {
  // Pel path counterclockwise from rightward, line progression
  // counterclockwise from the pel path.
  const OrientationCase cases[] = {
      {"000,270", true, 60, 40, kTopLeft, kTopRight},
      {"000,090", true, 60, 40, kBottomLeft, kBottomRight},
      {"180,270", true, 60, 40, kBottomRight, kBottomLeft},
      {"180,090", true, 60, 40, kTopRight, kTopLeft},
      {"090,270", true, 40, 60, kBottomLeft, kTopLeft},
      {"090,090", true, 40, 60, kBottomRight, kTopRight},
      {"270,270", true, 40, 60, kTopRight, kBottomRight},
      {"270,090", true, 40, 60, kTopLeft, kBottomLeft},
      {"90,270", true, 40, 60, kBottomLeft, kTopLeft},  // as readers read numbers
      {"090,180", false, 60, 40, kTopLeft, kTopRight},  // not a pair the standard allows: as stored
      {"upright", false, 60, 40, kTopLeft, kTopRight},
  };
  for (const OrientationCase& c : cases) {
    const std::vector<std::uint8_t> file = CalsFile(Marked(), c.rorient);
    PageBuffer full;
    const RenderResult result = Render(file, full);
    EXPECT_EQ(result.status, RenderStatus::kWhole) << c.rorient;
    EXPECT_EQ(result.turned, c.turned) << c.rorient;
    EXPECT_EQ(result.note.empty(), c.turned) << c.rorient;
    ASSERT_EQ(full.width(), c.width) << c.rorient;
    ASSERT_EQ(full.height(), c.height) << c.rorient;
    ExpectCorners(full, c, 6, 12);
    PageBuffer half;  // scaled, fitted to a box as thumbnails are
    Render(file, half, RenderOptions{30, 30});
    ASSERT_EQ(half.width(), c.width / 2) << c.rorient;
    ASSERT_EQ(half.height(), c.height / 2) << c.rorient;
    ExpectCorners(half, c, 3, 6);
  }
}

TEST(PageRenderer, BundledSamplesAreThePicturesTheGeneratorDrew) {
  struct Case {
    const char* file;
    samples::Bitmap picture;
  };
  const Case cases[] = {
      {"drawing-a4.cal", samples::A4Drawing()},
      {"blank-page.cal", samples::Bitmap(1728, 2200)},
      {"unusual-records.cal", samples::SmallScan(800, 600)},  // rorient 090,180: as stored
      {"archive/SCAN-0042.CG4", samples::SmallScan(1200, 800)},
  };
  for (const Case& c : cases) {
    PageBuffer page;
    ASSERT_EQ(Render(Sample(c.file), page).status, RenderStatus::kWhole) << c.file;
    ASSERT_EQ(page.width(), c.picture.width()) << c.file;
    ASSERT_EQ(page.height(), c.picture.height()) << c.file;
    std::int64_t differ = 0;
    for (int y = 0; y < page.height(); ++y) {
      const std::span<const std::uint8_t> row = c.picture.Row(y);
      for (int x = 0; x < page.width(); ++x) differ += page.Black(x, y) != (row[static_cast<std::size_t>(x)] != 0);
    }
    EXPECT_EQ(differ, 0) << c.file;
  }
}

// The grey of each scaled pel straight from the definition: every black
// stored pel spread over the scaled pels its rectangle overlaps.
std::vector<double> ReferenceCover(const samples::Bitmap& picture, std::int64_t w, std::int64_t h) {
  const std::int64_t W = picture.width();
  const std::int64_t H = picture.height();
  std::vector<double> cover(static_cast<std::size_t>(w * h));
  for (std::int64_t y = 0; y < H; ++y) {
    for (std::int64_t x = 0; x < W; ++x) {
      if (picture.Row(static_cast<int>(y))[static_cast<std::size_t>(x)] == 0) continue;
      for (std::int64_t i = y * h / H; i <= ((y + 1) * h - 1) / H; ++i) {
        const std::int64_t dy = std::min((y + 1) * h, (i + 1) * H) - std::max(y * h, i * H);
        for (std::int64_t j = x * w / W; j <= ((x + 1) * w - 1) / W; ++j) {
          const std::int64_t dx = std::min((x + 1) * w, (j + 1) * W) - std::max(x * w, j * W);
          cover[static_cast<std::size_t>(i * w + j)] += static_cast<double>(dx * dy) / static_cast<double>(W * H);
        }
      }
    }
  }
  return cover;
}

TEST(PageRenderer, ScaledPagesAreAreaAveragesOfThePels) {
  samples::Bitmap thin(64, 16);
  samples::FillRect(thin, 20, 0, 20, 15);  // one pel wide
  struct Case {
    const char* what;
    samples::Bitmap picture;
    std::int32_t width;
  };
  const Case cases[] = {
      {"A4 drawing to 200", samples::A4Drawing(), 200},
      {"scan to 333, not a divisor", samples::SmallScan(1200, 800), 333},
      {"scan up to 1000", samples::SmallScan(800, 600), 1000},
      {"thin line to 8", thin, 8},
  };
  for (const Case& c : cases) {
    PageBuffer page;
    ASSERT_EQ(Render(CalsFile(c.picture), page, RenderOptions{c.width, 0}).status, RenderStatus::kWhole) << c.what;
    ASSERT_EQ(page.width(), c.width) << c.what;
    const std::vector<double> cover = ReferenceCover(c.picture, page.width(), page.height());
    int worst = 0;
    for (int i = 0; i < page.height(); ++i) {
      for (int j = 0; j < page.width(); ++j) {
        const auto expected = std::lround(255.0 * (1.0 - cover[static_cast<std::size_t>(i * page.width() + j)]));
        worst = std::max(worst, static_cast<int>(std::abs(expected - page.Grey(j, i))));
      }
    }
    EXPECT_LE(worst, 1) << c.what;  // rounding of sums in another order
  }
  // The one-pel line keeps an eighth of its column's pels dark: grey 223
  // in every row, where a nearest-pel scale would keep it or lose it whole.
  PageBuffer page;
  Render(CalsFile(thin), page, RenderOptions{8, 0});
  for (int i = 0; i < page.height(); ++i) EXPECT_EQ(page.Grey(2, i), 223) << i;
}

TEST(PageRenderer, ARasterThatStopsDecodingKeepsItsLinesAndHatchesTheRest) {
  const samples::Bitmap drawing = samples::A4Drawing();
  std::vector<std::uint8_t> cut = Sample("drawing-a4.cal");
  cut.resize(2048 + 2000);
  std::vector<std::uint8_t> invalid = Sample("drawing-a4.cal");
  std::fill(invalid.begin() + 2048 + 2000, invalid.begin() + 2048 + 2008, std::uint8_t{0});
  struct Case {
    const char* what;
    const std::vector<std::uint8_t>& file;
    cals::conformance::LineOutcome stop;
  };
  const Case cases[] = {
      {"cut", cut, cals::conformance::LineOutcome::kDataEnds},
      {"zeros in the raster", invalid, cals::conformance::LineOutcome::kInvalid},
  };
  for (const Case& c : cases) {
    PageBuffer page;
    const RenderResult result = Render(c.file, page);
    ASSERT_EQ(result.status, RenderStatus::kCut) << c.what;
    EXPECT_EQ(result.stop, c.stop) << c.what;
    EXPECT_EQ(result.problem.empty(), c.stop != cals::conformance::LineOutcome::kInvalid) << c.what;
    const auto decoded = static_cast<int>(result.linesDecoded);
    ASSERT_GT(decoded, 100) << c.what;
    ASSERT_LT(decoded, drawing.height()) << c.what;
    ASSERT_EQ(page.rows(), static_cast<std::size_t>(drawing.height())) << c.what;
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x) {
        const bool hatch = (x + y) % cals::picture::kHatchPeriod < cals::picture::kHatchStripe;
        const bool drawn = drawing.Row(y)[static_cast<std::size_t>(x)] != 0;
        ASSERT_EQ(page.Black(x, y), y < decoded ? drawn : hatch) << c.what << " at " << x << "," << y;
      }
    }
    // Scaled: the rows that only decoded lines cover are as whole, every
    // row after them hatched on grey.
    PageBuffer scaled;
    PageBuffer whole;
    Render(c.file, scaled, RenderOptions{200, 0});
    Render(Sample("drawing-a4.cal"), whole, RenderOptions{200, 0});
    const std::int64_t firstHatched = static_cast<std::int64_t>(decoded) * scaled.height() / drawing.height();
    for (int i = 0; i < scaled.height(); ++i) {
      const int expected = i < firstHatched ? whole.Grey(5, i)
                           : (5 + i) % cals::picture::kHatchPeriod < cals::picture::kHatchStripe
                               ? 0
                               : cals::picture::kHatchGround;
      ASSERT_EQ(scaled.Grey(5, i), expected) << c.what << " row " << i;
    }
  }
}

TEST(PageRenderer, NothingIsRenderedWithoutASizeOrBeyondTheLimits) {
  std::vector<std::uint8_t> noSize = Sample("blank-page.cal");
  const auto setRecord = [](std::vector<std::uint8_t>& file, int record, const std::string& text) {
    std::string padded = text;
    padded.resize(128, ' ');
    std::copy(padded.begin(), padded.end(), file.begin() + record * 128);
  };
  setRecord(noSize, 8, "rpelcnt: none");
  // A header may claim any size: a page of 10^12 pels, or one that must be
  // held whole to turn it, is refused before anything is decoded.
  std::vector<std::uint8_t> huge = Sample("blank-page.cal");
  setRecord(huge, 8, "rpelcnt: 999999,999999");
  std::vector<std::uint8_t> turnedHuge = Sample("blank-page.cal");
  setRecord(turnedHuge, 7, "rorient: 090,270");
  setRecord(turnedHuge, 8, "rpelcnt: 100000,100000");
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    RenderOptions options;
    RenderStatus status;
  };
  const Case cases[] = {
      {"no size", noSize, {}, RenderStatus::kNoPicture},
      {"shorter than a header", std::vector<std::uint8_t>(100, ' '), {}, RenderStatus::kNoPicture},
      {"10^12 pels at full size", huge, {}, RenderStatus::kTooLarge},
      {"10^12 pels scaled: made, hatched", huge, {200, 200}, RenderStatus::kCut},
      {"1.25 GB to turn at full size", turnedHuge, {}, RenderStatus::kTooLarge},
      {"to turn, scaled", turnedHuge, {200, 0}, RenderStatus::kCut},
      {"scaled up past the limit", Sample("blank-page.cal"), {1 << 30, 0}, RenderStatus::kTooLarge},
  };
  for (const Case& c : cases) {
    PageBuffer page;
    const RenderResult result = Render(c.file, page, c.options);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(page.rows(), c.status == RenderStatus::kCut ? static_cast<std::size_t>(page.height()) : 0u) << c.what;
    EXPECT_EQ(result.note.empty(), c.status != RenderStatus::kTooLarge) << c.what;
  }
}

}  // namespace
