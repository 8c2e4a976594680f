// calsvar report's drawing threads over more files than two sheets hold,
// several threads at once: each file's first bytes reach the reader as
// that file's, each row gets its own sheet and cell, and a file that cannot
// be read is told as such.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win/cals_test_files.h"
#include "tests/support/win/test_environment.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/report_threads/drawing_threads.h"
#include "tools/make_samples/bitmap.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/drawing.h"
#include "tools/make_samples/g4_encoder.h"

namespace {

std::string Drawing(const std::string& docId) {
  samples::Bitmap picture(120, 90);
  samples::FrameRect(picture, 10, 10, 110, 80, 2);
  std::string file = samples::BuildHeader(samples::StandardRecords(120, 90, 200, docId, "NONE"));
  const std::vector<std::uint8_t> raster = samples::EncodeGroup4(picture);
  file.append(raster.begin(), raster.end());
  return file;
}

TEST(DrawingThreads, EachFileKeepsItsHeaderRowAndCell) {
  constexpr std::size_t kFiles = 2 * calsvar::kSheetCells + 2;
  constexpr std::size_t kMissing = 77;
  testing_support::TempDir dir;
  std::vector<std::wstring> files;
  for (std::size_t i = 0; i < kFiles; ++i) {
    files.push_back(dir.File(L"f" + std::to_wstring(i) + L".cal"));
    if (i != kMissing) {
      ASSERT_TRUE(testing_support::WriteBinaryFile(files.back(), Drawing("DOC-" + std::to_string(i))));
    }
  }
  const calsvar::report::ReportPlace place(calsvar::Utf8(dir.File(L"report")), false, '\\');
  ASSERT_EQ(place.Prepare(), "");
  std::vector<calsvar::report::ReportRow> rows(kFiles);
  for (std::size_t i = 0; i < kFiles; ++i) rows[i].thumbnail = place.SheetName(i / calsvar::kSheetCells);

  calsvar::DrawingThreads drawing(files, place, rows);
  drawing.Start(3);
  for (std::size_t i = 0; i < kFiles; ++i) {
    const auto header = drawing.TakeHeader(i);
    ASSERT_TRUE(header) << i;
    const std::string expected = i == kMissing ? "" : testing_support::Record("srcdocid: DOC-" + std::to_string(i));
    EXPECT_EQ(std::string(header->begin(), header->begin() + static_cast<std::ptrdiff_t>(expected.size())), expected)
        << i;
  }
  drawing.Join();
  ASSERT_FALSE(drawing.failure());
  EXPECT_TRUE(drawing.errors().empty());
  EXPECT_TRUE(drawing.unreadable());
  for (std::size_t i = 0; i < kFiles; ++i) {
    const calsvar::report::ReportRow& row = rows[i];
    if (i == kMissing) {
      EXPECT_EQ(row.verdict, calsvar::Verdict::kErrors);
      EXPECT_EQ(row.thumbnail, "");
      continue;
    }
    EXPECT_EQ(row.thumbnail, place.SheetName(i / calsvar::kSheetCells)) << i;
    EXPECT_EQ(row.thumbnailTop, static_cast<std::int32_t>(i % calsvar::kSheetCells) * calsvar::kThumbnailBox) << i;
    EXPECT_EQ(row.size->widthPels, 120) << i;
  }
  for (std::size_t sheet = 0; sheet < 3; ++sheet) {
    EXPECT_NE(GetFileAttributesW(place.PathOf(place.SheetName(sheet)).c_str()), INVALID_FILE_ATTRIBUTES) << sheet;
  }
}

}  // namespace
