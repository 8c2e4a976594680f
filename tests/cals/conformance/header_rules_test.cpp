// One crafted file per header rule, each with the line calsvar check prints
// for it. The base file is a standard header with a whole raster, which
// checks clean.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/cals/conformance/check_lines.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/g4_encoder.h"

namespace {

using Records = std::vector<std::string>;

std::string Raster() {
  const std::vector<std::uint8_t> bytes = samples::EncodeGroup4(samples::Bitmap(8, 2));
  return std::string(bytes.begin(), bytes.end());
}

std::string File(const Records& records) { return samples::BuildHeader(records) + Raster(); }

Records Standard() { return samples::StandardRecords(8, 2, 200, "DRW-1", "NONE"); }

// Record `index` (0-based) replaced by `text`, padded with blanks.
std::function<std::string()> With(std::size_t index, std::string text) {
  return [=] {
    Records records = Standard();
    records[index] = text;
    return File(records);
  };
}

// Bytes from `offset` on replaced by `bytes`.
std::function<std::string()> Patched(std::size_t offset, std::string bytes) {
  return [=] {
    std::string file = File(Standard());
    file.replace(offset, bytes.size(), bytes);
    return file;
  };
}

struct Case {
  const char* rule;
  std::function<std::string()> file;
  std::vector<std::string> lines;
};

TEST(HeaderRules, TheStandardFileChecksClean) { EXPECT_EQ(conformance_test::CheckLines(File(Standard())), std::vector<std::string>{}); }

TEST(HeaderRules, EachDeviationGivesItsLine) {
  const std::string nulPadded = "figid: NONE" + std::string(117, '\0');
  const Case cases[] = {
      {"upper-case name", With(5, "DOCCLS: NONE"),
       {"error\tthe name \"DOCCLS\" has upper-case letters: readers look for names in lower case, record 6, byte 640"}},
      {"no space after the colon", With(6, "rtype:1"), {"error\tno space after the colon, record 7, byte 774"}},
      {"tab after the colon", With(7, "rorient:\t000,270"),
       {"error\ta tab after the colon, where readers expect one space, record 8, byte 904"}},
      {"two spaces in rtype", With(6, "rtype:  1"),
       {"error\t2 spaces after the colon, where the standard has one, record 7, byte 774"}},
      {"two spaces elsewhere", With(10, "notes:  NONE"),
       {"warning\t2 spaces after the colon, where the standard has one, record 11, byte 1286"}},
      {"misspelt record readers need", With(9, "rdensity: 0200"),
       {"error\t\"rdensity\" is probably \"rdensty\": readers that look for \"rdensty\" miss it, record 10, byte 1152"}},
      {"misspelt record", With(5, "docls: NONE"), {"warning\t\"docls\" is probably \"doccls\", record 6, byte 640"}},
      {"missing rdensty", With(9, ""), {"error\tno \"rdensty\" record, which belongs here, record 10"}},
      {"missing figid", With(3, ""), {"warning\tno \"figid\" record, which belongs here, record 4"}},
      {"misplaced", [] {
         Records records = Standard();
         std::swap(records[0], records[1]);
         return File(records);
       },
       {"warning\t\"dstdocid\" belongs in record 2, record 1", "warning\t\"srcdocid\" belongs in record 1, record 2"}},
      {"repeated", With(10, "srcdocid: DRW-2"),
       {"warning\t\"srcdocid\" again (first in record 1): readers differ in which one they take, record 11, byte 1280",
        "warning\tno \"notes\" record, which belongs here, record 11"}},
      {"unknown name", With(10, "remarks: NONE"),
       {"warning\tno \"notes\" record, which belongs here, record 11",
        "warning\tthe record name \"remarks\" is not one of the standard's, record 11, byte 1280"}},
      {"NUL padding", Patched(384, nulPadded),
       {"error\tpadded with NUL bytes instead of spaces: readers stop reading the header at the first one, record 4, "
        "byte 395"}},
      {"NUL in a blank record", Patched(1792, std::string(128, '\0')),
       {"warning\tpadded with NUL bytes instead of spaces, record 15, byte 1792"}},
      {"other padding", Patched(1291, std::string(117, '#')),
       {"warning\tpadded with '#' (0x23) instead of spaces, record 11, byte 1291"}},
      {"records packed with line feeds", With(10, "notes: NONE\nremarks: x"),
       {"error\trecords packed with line feeds: another record follows a line break in this one, record 11, byte 1291",
        "warning\tthe record name \"remarks\" is not one of the standard's, record 11, byte 1292"}},
      {"line break in a value", With(10, "notes: two\nlines"),
       {"warning\ta line break inside the value, record 11, byte 1290"}},
      {"byte outside printable ASCII", With(10, "notes: Caf\xE9 \x01"),
       {"warning\tbyte 0xE9 is not printable ASCII (and 1 more in the record), record 11, byte 1290"}},
      {"rtype not 1", With(6, "rtype: 2"), {"error\trtype is \"2\", where a Type 1 raster has 1, record 7"}},
      {"blanks before a name readers find at the start", With(8, "  rpelcnt: 000008,000002"),
       {"error\tblanks before the name \"rpelcnt\", which begins the record, record 9, byte 1024"}},
      {"blanks before another name", With(0, " srcdocid: DRW-1"),
       {"warning\tblanks before the name \"srcdocid\", which begins the record, record 1, byte 0"}},
      {"blank before the colon", With(7, "rorient : 000,270"),
       {"error\tblanks between the name \"rorient\" and the colon, record 8, byte 896"}},
      {"no colon", With(9, "rdensty 0200"), {"error\tno colon after the name \"rdensty\", record 10, byte 1152"}},
      {"unreadable rpelcnt", With(8, "rpelcnt: 000008 ,000002"),
       {"error\trpelcnt \"000008 ,000002\" gives no picture size (two numbers above 0, separated by a comma): readers "
        "refuse the file, record 9"}},
      {"rpelcnt with a sign and blanks", With(8, "rpelcnt: +8, 2"),
       {"warning\trpelcnt \"+8, 2\" has a sign and blanks: the standard writes two six-digit numbers, 000008,000002, "
        "record 9"}},
      {"unreadable rorient", With(7, "rorient: portrait"),
       {"error\trorient \"portrait\" is not two angles separated by a comma: readers refuse the file, record 8"}},
      {"rorient angle", With(7, "rorient: 045,270"),
       {"warning\tthe pel path 45 is not one of 000, 090, 180, 270, record 8"}},
      {"rorient pair", With(7, "rorient: 090,180"),
       {"warning\trorient \"090,180\" is not a pair the standard allows: lines progress at 090 or 270 from the pel "
        "path, never along it, record 8"}},
      {"rorient digits", With(7, "rorient: 0,270"),
       {"warning\trorient \"0,270\" has numbers that are not 3 digits: the standard writes two three-digit angles, "
        "record 8"}},
      {"rdensty resolution", With(9, "rdensty: 0150"),
       {"warning\trdensty 150 is not one of the standard's resolutions (200, 240, 300, 400, 600, 1200 pels per inch), "
        "record 10"}},
      {"rdensty digits", With(9, "rdensty: 200"),
       {"warning\trdensty \"200\" has numbers that are not 4 digits: the standard writes four digits, record 10"}},
      {"unreadable rdensty", With(9, "rdensty: high"),
       {"error\trdensty \"high\" is not a number: readers refuse the file, record 10"}},
      {"empty value", With(3, "figid:"),
       {"warning\tno value: the standard writes NONE for a record without one, record 4"}},
      {"records 12 to 16", Patched(1664, "NOTE"), {"warning\tnot blank: records 12 to 16 are left blank, record 14"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(conformance_test::CheckLines(c.file()), c.lines) << c.rule;
  }
}

}  // namespace
