// One table of edits to a standard header, each with what ImageMagick 6.9
// and GDAL 3.6 make of the file (the reason for its severity) and the lines
// calsvar check prints for it. header_rules_test checks the lines and that
// each row's severity follows from its readers; header_readers_test runs
// the readers on every row where they are installed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/make_samples/bitmap.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace conformance_test {

// What the readers do with the file: both decode the picture pel-exact,
// or one (or both) refuses it or shows another picture.
enum class Readers { kBothRead, kImageMagickFails, kGdalFails, kBothFail };

inline const samples::Bitmap& EditedPicture() {
  static const samples::Bitmap picture = samples::SmallScan(40, 30);
  return picture;
}

using Records = std::vector<std::string>;

inline Records Standard() { return samples::StandardRecords(40, 30, 200, "DRW-1", "NONE"); }

inline std::string WithRaster(const std::string& header) {
  const std::vector<std::uint8_t> raster = samples::EncodeGroup4(EditedPicture());
  return header + std::string(raster.begin(), raster.end());
}

inline std::string File(const Records& records) { return WithRaster(samples::BuildHeader(records)); }

// Records `index` (0-based) replaced by their texts, padded with blanks.
inline std::function<std::string()> With(std::vector<std::pair<std::size_t, std::string>> edits) {
  return [=] {
    Records records = Standard();
    for (const auto& [index, text] : edits) records[index] = text;
    return File(records);
  };
}
inline std::function<std::string()> With(std::size_t index, std::string text) { return With({{index, text}}); }

// Bytes from `offset` on replaced by `bytes`.
inline std::function<std::string()> Patched(std::size_t offset, std::string bytes) {
  return [=] {
    std::string file = File(Standard());
    file.replace(offset, bytes.size(), bytes);
    return file;
  };
}

// The eleven records as lines ending in `lineEnd`: each padded to 128
// bytes, or one after another and the header filled up with blanks.
inline std::function<std::string()> AsLines(std::string lineEnd, bool packed) {
  return [=] {
    std::string header;
    for (const std::string& record : Standard()) {
      header += packed ? record + lineEnd : record + std::string(128 - record.size() - lineEnd.size(), ' ') + lineEnd;
    }
    header.resize(2048, ' ');
    return WithRaster(header);
  };
}

struct HeaderEdit {
  const char* rule;
  std::function<std::string()> file;
  Readers readers;
  std::vector<std::string> lines;
};

inline std::vector<HeaderEdit> HeaderEdits() {
  const std::string nulPadded = "figid: NONE" + std::string(117, '\0');
  const std::string longValue = "rorient: portrait, as the drawing office has all written it";
  return {
      {"upper-case name GDAL looks for", With(0, "SRCDOCID: DRW-1"), Readers::kGdalFails,
       {"error\tthe name \"SRCDOCID\" has upper-case letters: GDAL looks for the name in lower case only, record 1, "
        "byte 0"}},
      {"upper-case rdensty", With(9, "RDENSTY: 0200"), Readers::kBothRead,
       {"warning\tthe name \"RDENSTY\" has upper-case letters, record 10, byte 1152"}},
      {"upper-case name no reader needs", With(5, "DOCCLS: NONE"), Readers::kBothRead,
       {"warning\tthe name \"DOCCLS\" has upper-case letters, record 6, byte 640"}},
      {"no space after the colon", With(8, "rpelcnt:000040,000030"), Readers::kBothRead,
       {"warning\tno space after the colon, record 9, byte 1032"}},
      {"no space after srcdocid's colon", With(0, "srcdocid:DRW-1"), Readers::kBothRead,
       {"warning\tno space after the colon, record 1, byte 9"}},
      {"no space after rtype's colon", With(6, "rtype:1"), Readers::kGdalFails,
       {"error\tno space after the colon: GDAL looks for \"rtype: 1\" spelt exactly so, record 7, byte 774"}},
      {"tab after the colon", With(7, "rorient:\t000,270"), Readers::kBothRead,
       {"warning\ta tab after the colon, where the standard has one space, record 8, byte 904"}},
      {"two spaces in rtype", With(6, "rtype:  1"), Readers::kGdalFails,
       {"error\t2 spaces after the colon, where the standard has one: GDAL looks for \"rtype: 1\" spelt exactly so, "
        "record 7, byte 774"}},
      {"two spaces elsewhere", With(10, "notes:  NONE"), Readers::kBothRead,
       {"warning\t2 spaces after the colon, where the standard has one, record 11, byte 1286"}},
      {"misspelt rdensty", With(9, "rdensity: 0200"), Readers::kImageMagickFails,
       {"error\t\"rdensity\" is probably \"rdensty\": ImageMagick refuses a file without it, record 10, byte 1152"}},
      {"misspelt srcdocid", With(0, "srcdocld: DRW-1"), Readers::kGdalFails,
       {"error\t\"srcdocld\" is probably \"srcdocid\": GDAL does not take a file without it for CALS, record 1, byte 0"}},
      {"misspelt record no reader needs", With(5, "docls: NONE"), Readers::kBothRead,
       {"warning\t\"docls\" is probably \"doccls\", record 6, byte 640"}},
      {"missing rdensty", With(9, ""), Readers::kImageMagickFails,
       {"error\tno \"rdensty\" record, which belongs here: ImageMagick refuses a file without it, record 10"}},
      {"record 1 blank", With(0, ""), Readers::kGdalFails,
       {"error\tno \"srcdocid\" record, which belongs here: GDAL does not take a file without it for CALS, record 1"}},
      {"missing figid", With(3, ""), Readers::kBothRead, {"warning\tno \"figid\" record, which belongs here, record 4"}},
      {"swapped", With({{0, "dstdocid: NONE"}, {1, "srcdocid: DRW-1"}}), Readers::kBothRead,
       {"warning\t\"dstdocid\" belongs in record 2, record 1", "warning\t\"srcdocid\" belongs in record 1, record 2"}},
      {"srcdocid past the first 1024 bytes", With({{0, "notes: NONE"}, {10, "srcdocid: DRW-1"}}), Readers::kGdalFails,
       {"warning\t\"notes\" belongs in record 11, record 1",
        "error\t\"srcdocid\" belongs in record 1, and lies past the first 1024 bytes: GDAL looks for \"srcdocid:\" only "
        "in the first 1024 bytes (records 1 to 8), record 11"}},
      {"repeated", With(10, "srcdocid: DRW-2"), Readers::kBothRead,
       {"warning\t\"srcdocid\" again (first in record 1) with another value, record 11, byte 1280",
        "warning\tno \"notes\" record, which belongs here, record 11"}},
      {"rpelcnt again, another size", With(10, "rpelcnt: 000040,000031"), Readers::kImageMagickFails,
       {"error\t\"rpelcnt\" again (first in record 9) with another value: ImageMagick takes the last one, GDAL the "
        "first, record 11, byte 1280",
        "warning\tno \"notes\" record, which belongs here, record 11"}},
      {"rpelcnt again, the same size", With(10, "rpelcnt: 000040,000030"), Readers::kBothRead,
       {"warning\t\"rpelcnt\" again (first in record 9), record 11, byte 1280",
        "warning\tno \"notes\" record, which belongs here, record 11"}},
      {"unknown name", With(10, "remarks: NONE"), Readers::kBothRead,
       {"warning\tno \"notes\" record, which belongs here, record 11",
        "warning\tthe record name \"remarks\" is not one of the standard's, record 11, byte 1280"}},
      {"NUL padding before rtype", Patched(384, nulPadded), Readers::kGdalFails,
       {"error\tpadded with NUL bytes instead of spaces, before \"rtype\": GDAL stops reading the header at the first "
        "NUL byte, before the records it needs, record 4, byte 395"}},
      {"NUL padding behind rpelcnt", Patched(1046, std::string(106, '\0')), Readers::kBothRead,
       {"warning\tpadded with NUL bytes instead of spaces, record 9, byte 1046"}},
      {"NUL in a blank record", Patched(1792, std::string(128, '\0')), Readers::kBothRead,
       {"warning\tpadded with NUL bytes instead of spaces, record 15, byte 1792"}},
      {"other padding", Patched(1291, std::string(117, '#')), Readers::kBothRead,
       {"warning\tpadded with '#' (0x23) instead of spaces, record 11, byte 1291"}},
      {"a record packed behind another", With(10, "notes: NONE\nremarks: x"), Readers::kBothRead,
       {"warning\trecords packed with line breaks: \"remarks\" follows a line break in the record, record 11, byte 1292",
        "warning\tthe record name \"remarks\" is not one of the standard's, record 11, byte 1292"}},
      {"rpelcnt packed behind rorient", With({{7, "rorient: 000,270\nrpelcnt: 000040,000030"}, {8, ""}}),
       Readers::kImageMagickFails,
       {"error\trecords packed with line breaks: \"rpelcnt\" follows a line break in the record: ImageMagick looks for "
        "it only at the start of a record, record 8, byte 913"}},
      {"line break in a value", With(10, "notes: two\nlines"), Readers::kBothRead,
       {"warning\ta line break inside the value, record 11, byte 1290"}},
      {"records as lines padded, LF", AsLines("\n", false), Readers::kBothRead,
       {"warning\tthe records are written as lines ending in LF, each padded to 128 bytes: the standard pads them with "
        "blanks only"}},
      {"records as lines padded, CR LF", AsLines("\r\n", false), Readers::kBothRead,
       {"warning\tthe records are written as lines ending in CR LF, each padded to 128 bytes: the standard pads them "
        "with blanks only"}},
      {"records as lines packed", AsLines("\n", true), Readers::kImageMagickFails,
       {"error\tthe header is written as lines ending in LF, one after another, not as 16 records of 128 bytes: the "
        "picture size cannot be read from it: ImageMagick refuses such a header (\"improper image header\")"}},
      {"byte outside printable ASCII", With(10, "notes: Caf\xE9 \x01"), Readers::kBothRead,
       {"warning\tbyte 0xE9 is not printable ASCII (and 1 more in the record), record 11, byte 1290"}},
      {"rtype 2", With(6, "rtype: 2"), Readers::kBothFail,
       {"error\trtype is \"2\", where a Type 1 raster has 1: ImageMagick refuses any other type (\"improper image "
        "header\"); GDAL looks for \"rtype: 1\" spelt exactly so, record 7"}},
      {"rtype 10", With(6, "rtype: 10"), Readers::kImageMagickFails,
       {"error\trtype is \"10\", where a Type 1 raster has 1: ImageMagick refuses any other type (\"improper image "
        "header\"), record 7"}},
      {"rtype 1a", With(6, "rtype: 1a"), Readers::kBothRead,
       {"warning\trtype is \"1a\", where a Type 1 raster has 1, record 7"}},
      {"blanks before rpelcnt", With(8, "  rpelcnt: 000040,000030"), Readers::kImageMagickFails,
       {"error\tblanks before the name \"rpelcnt\", which begins the record: ImageMagick looks for it only at the "
        "start of a record, record 9, byte 1024"}},
      {"blanks before srcdocid", With(0, " srcdocid: DRW-1"), Readers::kBothRead,
       {"warning\tblanks before the name \"srcdocid\", which begins the record, record 1, byte 0"}},
      {"blank before the colon", With(7, "rorient : 000,270"), Readers::kGdalFails,
       {"error\tblanks between the name \"rorient\" and the colon: GDAL looks for the name with the colon right after "
        "it, record 8, byte 896"}},
      {"no colon", With(9, "rdensty 0200"), Readers::kImageMagickFails,
       {"error\tno colon after the name \"rdensty\": ImageMagick refuses a file without it, record 10, byte 1152"}},
      {"unreadable rpelcnt", With(8, "rpelcnt: 000040 ,000030"), Readers::kBothFail,
       {"error\trpelcnt \"000040 ,000030\" gives no picture size (two numbers above 0, separated by a comma): GDAL "
        "does not take the file for CALS; ImageMagick refuses the file (\"improper image header\"), record 9"}},
      {"rpelcnt with a sign and blanks", With(8, "rpelcnt: +40, 30"), Readers::kBothRead,
       {"warning\trpelcnt \"+40, 30\" has a sign and blanks: the standard writes two six-digit numbers, "
        "000040,000030, record 9"}},
      {"unreadable rorient, quoted cut at 40 characters", With(7, longValue), Readers::kGdalFails,
       {"error\trorient \"portrait, as the drawing office has all\xE2\x80\xA6\" is not two angles separated by a "
        "comma: GDAL does not take the file for CALS, record 8"}},
      {"rorient angle", With(7, "rorient: 045,270"), Readers::kBothRead,
       {"warning\tthe pel path 45 is not one of 000, 090, 180, 270, record 8"}},
      {"rorient pair", With(7, "rorient: 090,180"), Readers::kBothRead,
       {"warning\trorient \"090,180\" is not a pair the standard allows: lines progress at 090 or 270 from the pel "
        "path, never along it, record 8"}},
      {"rorient digits", With(7, "rorient: 0,270"), Readers::kBothRead,
       {"warning\trorient \"0,270\" has numbers that are not 3 digits: the standard writes two three-digit angles, "
        "record 8"}},
      {"rdensty resolution", With(9, "rdensty: 0150"), Readers::kBothRead,
       {"warning\trdensty 150 is not one of the standard's resolutions (200, 240, 300, 400, 600, 1200 pels per inch), "
        "record 10"}},
      {"rdensty digits", With(9, "rdensty: 200"), Readers::kBothRead,
       {"warning\trdensty \"200\" has numbers that are not 4 digits: the standard writes four digits, record 10"}},
      {"unreadable rdensty", With(9, "rdensty: high"), Readers::kImageMagickFails,
       {"error\trdensty \"high\" is not a number: ImageMagick refuses the file (\"improper image header\"), record 10"}},
      {"empty value", With(3, "figid:"), Readers::kBothRead,
       {"warning\tno value: the standard writes NONE for a record without one, record 4"}},
      {"records 12 to 16", Patched(1664, "NOTE"), Readers::kBothRead,
       {"warning\tnot blank: records 12 to 16 are left blank, record 14"}},
  };
}

}  // namespace conformance_test
