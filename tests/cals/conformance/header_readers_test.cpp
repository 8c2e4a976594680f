// The readers' side of header_edits.h: each edited file given to
// ImageMagick and GDAL, whose decode is compared pel by pel with the
// picture. Skips where the two are not installed.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/cals/conformance/header_edits.h"
#include "tests/support/cals_readers.h"

namespace {

using conformance_test::Readers;
using testing_support::CalsPrograms;
using testing_support::Picture;

Picture Expected() {
  const samples::Bitmap& bitmap = conformance_test::EditedPicture();
  Picture picture{bitmap.width(), bitmap.height(), {}};
  for (int y = 0; y < bitmap.height(); ++y) {
    const auto row = bitmap.Row(y);
    picture.pels.insert(picture.pels.end(), row.begin(), row.end());
  }
  return picture;
}

const char* Name(Readers readers) {
  static const char* const kNames[] = {"both read it", "ImageMagick fails", "GDAL fails", "both fail"};
  return kNames[static_cast<int>(readers)];
}

TEST(HeaderReaders, EachEditIsReadAsItsRowSays) {
  if (!CalsPrograms::Installed()) GTEST_SKIP() << "ImageMagick (convert) or GDAL (gdal_translate) is not installed";
  CalsPrograms programs;
  const Picture expected = Expected();
  for (const conformance_test::HeaderEdit& edit : conformance_test::HeaderEdits()) {
    const std::filesystem::path file = programs.folder() / "edited.cal";
    std::ofstream(file, std::ios::binary) << edit.file();
    const testing_support::Reading magick = programs.ReadWithImageMagick(file);
    const testing_support::Reading gdal = programs.ReadWithGdal(file);
    const bool magickReads = magick.picture == expected;
    const bool gdalReads = gdal.picture == expected;
    const Readers measured = magickReads ? (gdalReads ? Readers::kBothRead : Readers::kGdalFails)
                                         : (gdalReads ? Readers::kImageMagickFails : Readers::kBothFail);
    EXPECT_EQ(Name(measured), std::string(Name(edit.readers)))
        << edit.rule << " (ImageMagick: " << (magickReads ? "reads it" : magick.message)
        << "; GDAL: " << (gdalReads ? "reads it" : gdal.message) << ")";
  }
}

}  // namespace
