// Writes the bundled sample CALS files into a samples folder:
//   make_samples <samples folder>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace fs = std::filesystem;
using namespace samples;

namespace {

void Write(const fs::path& file, const std::vector<std::string>& records, const Bitmap& picture) {
  fs::create_directories(file.parent_path());
  WriteCalsFile(file, BuildHeader(records), EncodeGroup4(picture));
  std::printf("%s\n", file.string().c_str());
}

// Valid but unusual records: names in mixed and upper case, blanks around
// names, values and colons, a blank record among the first eleven (it
// yields no tag), no figid record, and a record with an empty value.
std::vector<std::string> UnusualRecords() {
  return {
      "SrcDocId:   ABC   ",
      "dstdocid: NONE",
      "txtfilid: NONE",
      "",
      "srcgph: NONE",
      "DOCLS:NONE",
      "rtype: 1",
      "  rorient :  090,180",
      "RPELCNT: 000800,000600",
      "rdensty: 0150",
      "notes:",
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples <samples folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  try {
    Write(root / "drawing-a4.cal", StandardRecords(1654, 2339, 200, "DRW-1001-A", "Flange DN80, sheet 1 of 1"),
          A4Drawing());
    Write(root / "blank-page.cal", StandardRecords(1728, 2200, 200, "NONE", "Blank page"), Bitmap(1728, 2200));
    Write(root / "unusual-records.cal", UnusualRecords(), SmallScan(800, 600));
    Write(root / "archive" / "SCAN-0042.CG4", StandardRecords(1200, 800, 300, "SCAN-0042", "Archive scan"),
          SmallScan(1200, 800));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_samples: %s\n", error.what());
    return 1;
  }
  return 0;
}
