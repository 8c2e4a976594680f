// Whole files: the bundled samples, a cut copy of one, and rasters that are
// not whole or not valid, each with the line calsvar check prints.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/cals/conformance/check_lines.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using conformance_test::CheckLines;
using Lines = std::vector<std::string>;

std::string Sample(const std::string& name) {
  std::ifstream in(std::filesystem::path(MIROTEX_SOURCE_DIR) / "samples" / name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Header(int width, int height, const char* rorient = "000,270") {
  std::vector<std::string> records = samples::StandardRecords(width, height, 200, "DRW-1", "NONE");
  records[7] = std::string("rorient: ") + rorient;
  return samples::BuildHeader(records);
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Patched(std::string file, std::size_t offset, const std::string& bytes) {
  return file.replace(offset, bytes.size(), bytes);
}

TEST(FileCheck, BundledSamplesCheckClean) {
  for (const char* name : {"drawing-a4.cal", "blank-page.cal", "archive/SCAN-0042.CG4"}) {
    const std::string file = Sample(name);
    ASSERT_GT(file.size(), 2048u) << name;
    EXPECT_EQ(CheckLines(file), Lines{}) << name;
  }
}

// samples/README.md lists these.
TEST(FileCheck, UnusualRecordsSampleShowsEachOfItsDeviations) {
  EXPECT_EQ(CheckLines(Sample("unusual-records.cal")),
            (Lines{
                "error\tthe name \"SrcDocId\" has upper-case letters: GDAL looks for the name in lower case only, "
                "record 1, byte 0",
                "warning\t3 spaces after the colon, where the standard has one, record 1, byte 9",
                "warning\tno \"figid\" record, which belongs here, record 4",
                "warning\tthe name \"DOCLS\" has upper-case letters, record 6, byte 640",
                "warning\tno space after the colon, record 6, byte 646",
                "warning\t\"DOCLS\" is probably \"doccls\", record 6, byte 640",
                "warning\tblanks before the name \"rorient\", which begins the record, record 8, byte 896",
                "error\tblanks between the name \"rorient\" and the colon: GDAL looks for the name with the colon right "
                "after it, record 8, byte 898",
                "warning\t2 spaces after the colon, where the standard has one, record 8, byte 907",
                "warning\trorient \"090,180\" is not a pair the standard allows: lines progress at 090 or 270 from the pel "
                "path, never along it, record 8",
                "error\tthe name \"RPELCNT\" has upper-case letters: GDAL looks for the name in lower case only, record 9, "
                "byte 1024",
                "warning\trdensty 150 is not one of the standard's resolutions (200, 240, 300, 400, 600, 1200 pels per "
                "inch), record 10",
                "warning\tno value: the standard writes NONE for a record without one, record 11",
            }));
}

// Each line of the blank page is one bit: 100 bytes hold 800 lines.
TEST(FileCheck, CutSampleEndsAfterTheLastWholeLine) {
  EXPECT_EQ(CheckLines(Sample("blank-page.cal").substr(0, 2048 + 100)),
            Lines{"error\traster ends after line 800 of 2200: the file was probably cut (decoded as 2200 lines of 1728 "
                  "pels, as rpelcnt gives them), byte 2148"});

  // The drawing's first k rows coded alone are a prefix of its raster; four
  // bytes short of that (end-of-block code and padding included) row k is
  // cut, since a row of the flange takes more than eight bits.
  constexpr int kRows = 1000;
  const samples::Bitmap drawing = samples::A4Drawing();
  samples::Bitmap top(drawing.width(), kRows);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < drawing.width(); ++x) {
      if (drawing.Row(y)[static_cast<std::size_t>(x)] != 0) top.Set(x, y);
    }
  }
  const std::size_t cut = 2048 + samples::EncodeGroup4(top).size() - 4;
  EXPECT_EQ(CheckLines(Sample("drawing-a4.cal").substr(0, cut)),
            Lines{"error\traster ends after line " + std::to_string(kRows - 1) +
                  " of 2339: the file was probably cut (decoded as 2339 lines of 1654 pels, as rpelcnt gives them), byte " +
                  std::to_string(cut)});
}

TEST(FileCheck, RastersThatAreNotWholeOrNotValid) {
  const std::string twoLines = Bytes(samples::EncodeGroup4(samples::Bitmap(8, 2)));
  const struct {
    const char* what;
    std::string file;
    Lines lines;
  } cases[] = {
      {"short file", Sample("drawing-a4.cal").substr(0, 1000),
       {"error\tthe file has 1000 bytes, fewer than the 2048 of a header, byte 1000"}},
      {"no raster", Header(8, 2), {"error\tno raster after the header, byte 2048"}},
      {"end-of-block code early", Header(8, 3) + twoLines,
       {"error\tthe end-of-block code comes after line 2 of 3: the raster has fewer lines than rpelcnt says (decoded "
        "as 3 lines of 8 pels, as rpelcnt gives them), byte 2051"}},
      {"invalid code", Header(8, 2) + std::string(4, '\0'),
       {"error\ta code that is not valid at line 1 of 2, pel 0: no mode code here (decoded as 2 lines of 8 pels, as "
        "rpelcnt gives them), byte 2048"}},
      {"run past the end of the line", Header(8, 2) + "\x23\x40",  // 001, white 31 (00011010)
       {"error\ta code that is not valid at line 1 of 2, pel 0: a horizontal code's white run of 31 pels from pel 0 "
        "goes past the end of the line at pel 8 (rule: runs end within the width) (decoded as 2 lines of 8 pels, as "
        "rpelcnt gives them), byte 2048"}},
      {"zeros after the end-of-block code", Header(8, 2) + twoLines + std::string(2, '\0'),
       {"warning\t2 bytes of zeros after the end-of-block code, byte 2052"}},
      {"data after the end-of-block code", Header(8, 2) + twoLines + "AB",
       {"warning\t2 bytes of data after the end-of-block code, byte 2052"}},
      {"no end-of-block code", Header(8, 16) + "\xFF\xFF", {"warning\tno end-of-block code after the last line, byte 2050"}},
      {"more lines than rpelcnt", Header(8, 2) + Bytes(samples::EncodeGroup4(samples::Bitmap(8, 5))),
       {"warning\tdata after line 2 that is not an end-of-block code: the raster may have more lines than rpelcnt "
        "says (decoded as 2 lines of 8 pels, as rpelcnt gives them), byte 2048"}},
      {"turned picture", Header(8, 3, "090,270") + twoLines,
       {"error\tthe end-of-block code comes after line 2 of 3: the raster has fewer lines than rpelcnt says (decoded "
        "as 3 lines of 8 pels, as rpelcnt gives them; rorient 090,270 turns the picture only for display), byte 2051"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckLines(c.file), c.lines) << c.what;
}

// Files that are no CALS file at all get one finding, whatever their bytes.
TEST(FileCheck, OtherFormatsAndOtherTextGetOneFinding) {
  const std::string text = "Dear colleague,\r\nplease find the drawing attached.\r\n";
  const struct {
    const char* what;
    std::string file;
    Lines lines;
  } cases[] = {
      {"TIFF, little-endian", std::string("II*\0", 4) + std::string(3000, '\x01'), {"error\ta TIFF file, not a CALS file"}},
      {"TIFF, big-endian, short", std::string("MM\0*", 4) + "\x08", {"error\ta TIFF file, not a CALS file"}},
      {"PNG", "\x89PNG\r\n\x1A\n" + std::string(100, '\0'), {"error\ta PNG file, not a CALS file"}},
      {"PDF", "%PDF-1.7\n" + std::string(5000, 'x'), {"error\ta PDF file, not a CALS file"}},
      {"JPEG", "\xFF\xD8\xFF\xE0" + std::string(2500, '\0'), {"error\ta JPEG file, not a CALS file"}},
      {"GIF", "GIF89a" + std::string(10, '\0'), {"error\ta GIF file, not a CALS file"}},
      {"BMP", std::string("BM\x36\0\0\0\0\0\0\0\x36", 11), {"error\ta BMP file, not a CALS file"}},
      {"ZIP", std::string("PK\x03\x04", 4) + std::string(4000, '\x02'), {"error\ta ZIP file, not a CALS file"}},
      {"a letter", text + std::string(2048, ' '), {"error\tnot a CALS header"}},
      {"binary bytes", std::string(4096, '\x07'), {"error\tnot a CALS header"}},
      {"blank header", std::string(2048, ' ') + "\xFF", {"error\tnot a CALS header"}},
      // Record 1 is no CALS record, but records 2 to 11 are: a CALS header
      // whose first record is damaged.
      {"damaged record 1", Patched(Header(8, 2) + Bytes(samples::EncodeGroup4(samples::Bitmap(8, 2))), 0, "\x07\x07"),
       {"warning\tbyte 0x07 is not printable ASCII (and 1 more in the record), record 1, byte 0",
        "error\t\"\\x07\\x07cdocid\" is probably \"srcdocid\": GDAL does not take a file without it for CALS, record 1, "
        "byte 0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckLines(c.file), c.lines) << c.what;
}

// The data of a 9 x 9 checkerboard under an rpelcnt of width 8: libtiff
// warns "Line length mismatch"; the check finds the first code that breaks
// a rule at that width.
TEST(FileCheck, RasterCodedForAnotherWidth) {
  samples::Bitmap board(9, 9);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) {
      if ((x + y) % 2 == 1) board.Set(x, y);
    }
  }
  const Lines lines = CheckLines(Header(8, 9) + Bytes(samples::EncodeGroup4(board)));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("error\ta code that is not valid at line 1 of 9, pel ")) << lines[0];
}

// A header may claim any size: the decode costs what the data holds.
TEST(FileCheck, HugeClaimedSizeCostsOnlyTheDataPresent) {
  EXPECT_EQ(CheckLines(Header(999999, 999999) + std::string(64, '\xFF')),
            Lines{"error\traster ends after line 512 of 999999: the file was probably cut (decoded as 999999 lines of "
                  "999999 pels, as rpelcnt gives them), byte 2112"});
  // The largest width rpelcnt can give, 2^31 - 1, and a code one past it.
  std::vector<std::string> records = samples::StandardRecords(8, 1, 200, "DRW-1", "NONE");
  records[8] = "rpelcnt: 9999999999,1";
  EXPECT_EQ(CheckLines(samples::BuildHeader(records) + "\x06"),  // VR3 (0000011)
            (Lines{"warning\trpelcnt \"9999999999,1\" has numbers that are not 6 digits: the standard writes two "
                   "six-digit numbers, record 9",
                   "error\ta code that is not valid at line 1 of 1, pel 0: a vertical code puts the next change at pel "
                   "2147483650, past the end of the line at pel 2147483647 (rule: a1 <= width) (decoded as 1 line of "
                   "2147483647 pels, as rpelcnt gives them), byte 2048"}));
}

}  // namespace
