#include "cals/conformance/header_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <tuple>

#include "cals/ascii_text.h"
#include "cals/decimal_scan.h"
#include "cals/header_layout.h"

namespace cals::conformance {
namespace {

constexpr int kRecordCount = 16;
constexpr int kNamedRecords = 11;

// ---------------------------------------------------------------------------
// What the readers do with a header that breaks a rule: the one table.
//
// Measured on one-record edits of a valid file with ImageMagick 6.9.11
// (convert cals:FILE) and GDAL 3.6.2 (gdal_translate), each decode compared
// pel by pel with the picture (tests/cals/conformance/header_rules_test.cpp
// repeats the measurement wherever the two are installed). A rule is an
// error where a row names a reader that refuses the file, or shows another
// picture; where no row does, both read it pel-exact and it is a warning:
// only the standard asks for it. A reader measured later is one more
// Reader and its rows.
enum class Reader { kNone, kImageMagick, kGdal };

enum class Rule {
  kNotFound,            // the record is missing, misspelt, or has no colon
  kUpperCaseName,       // "RPELCNT:"
  kBlanksBeforeName,    // " rpelcnt:"
  kBlanksBeforeColon,   // "rpelcnt :"
  kNoSpaceAfterColon,   // "rpelcnt:000040,000030"
  kTabAfterColon,       // "rpelcnt:<TAB>000040,000030"
  kSpacesAfterColon,    // "rtype:  1"
  kRtypeNumber,         // rtype read as a number is not 1: "2", "10"
  kRtypeText,           // rtype does not begin with 1: "2", "01"
  kRtypeMore,           // rtype begins with 1 but goes on: "1a"
  kUnreadableValue,     // no number, or no pair of them, where one is read
  kValueFormat,         // numbers readable, but not as the standard writes them
  kNulBeforeRecord,     // a NUL byte before (or in) a record GDAL looks for
  kNulElsewhere,        // a NUL byte after every record GDAL looks for
  kOtherPadding,        // "notes: NONE########"
  kLinesPacked,         // the header written as lines, one after another
  kLinesPadded,         // each record a line, padded to 128 bytes
  kBehindLineBreak,     // one record packed behind a line break in another
  kLineBreak,           // a stray line break after or inside a value
  kNotPrintable,        // bytes outside printable ASCII
  kFoundLate,           // the record lies further on than a reader looks
  kMisplaced,           // the record is not in its own place
  kRepeated,            // the record twice, the same value both times
  kRepeatedDiffering,   // the record twice with different values
  kUnknownName,         // a name that is none of the eleven
  kNoValue,             // "notes:"
  kNotBlank,            // text in records 12 to 16
};

struct ReaderRow {
  Rule rule;
  std::string_view records;  // the names the row is about, blank-separated; "" for any
  Reader reader;             // kNone: both read it pel-exact
  std::string_view refusal;  // what the reader does, for the message
};

constexpr ReaderRow kReaderRows[] = {
    // GDAL: "not recognized as a supported file format"; it looks for the
    // text "srcdocid:", "rtype: 1", "rorient:", "rpelcnt:".
    {Rule::kNotFound, "srcdocid rtype rorient rpelcnt", Reader::kGdal, "GDAL does not take a file without it for CALS"},
    // ImageMagick: "improper image header"; it looks for rpelcnt and rdensty
    // (in any case) at the start of a record. Without rdensty it refuses.
    {Rule::kNotFound, "rpelcnt rdensty", Reader::kImageMagick, "ImageMagick refuses a file without it"},
    {Rule::kNotFound, "", Reader::kNone, "neither reader needs dstdocid, txtfilid, figid, srcgph, doccls, notes"},
    // GDAL matches its four names in lower case only; ImageMagick ignores
    // case (RDENSTY, DSTDOCID, NOTES: both read the file).
    {Rule::kUpperCaseName, "srcdocid rtype rorient rpelcnt", Reader::kGdal, "GDAL looks for the name in lower case only"},
    {Rule::kBlanksBeforeName, "rpelcnt rdensty", Reader::kImageMagick,
     "ImageMagick looks for it only at the start of a record"},
    {Rule::kBlanksBeforeName, "", Reader::kNone, "\" rtype: 1\", \" rorient:\", \" srcdocid:\": both read the file"},
    {Rule::kBlanksBeforeColon, "srcdocid rtype rorient rpelcnt", Reader::kGdal,
     "GDAL looks for the name with the colon right after it"},
    {Rule::kBlanksBeforeColon, "rpelcnt rdensty", Reader::kImageMagick,
     "ImageMagick looks for the name with the colon right after it"},
    // "rpelcnt:000040,000030", "rorient:000,270", "rdensty:0200",
    // "srcdocid:NONE", a tab after the colon: both read the file, except
    // for rtype, which GDAL looks for as the text "rtype: 1".
    {Rule::kNoSpaceAfterColon, "rtype", Reader::kGdal, "GDAL looks for \"rtype: 1\" spelt exactly so"},
    {Rule::kTabAfterColon, "rtype", Reader::kGdal, "GDAL looks for \"rtype: 1\" spelt exactly so"},
    {Rule::kSpacesAfterColon, "rtype", Reader::kGdal, "GDAL looks for \"rtype: 1\" spelt exactly so"},
    // "rtype: 10": ImageMagick "improper image header", GDAL reads it.
    // "rtype: 2": both refuse. "rtype: 1a": both read it.
    {Rule::kRtypeNumber, "rtype", Reader::kImageMagick, "ImageMagick refuses any other type (\"improper image header\")"},
    {Rule::kRtypeText, "rtype", Reader::kGdal, "GDAL looks for \"rtype: 1\" spelt exactly so"},
    {Rule::kRtypeMore, "rtype", Reader::kNone, "both read \"rtype: 1a\""},
    // "rorient: portrait": GDAL refuses, ImageMagick reads the raster.
    // "rpelcnt: 000040 ,000030": both refuse. "rdensty: high": ImageMagick
    // refuses, GDAL reads the raster at a default resolution.
    {Rule::kUnreadableValue, "rorient rpelcnt", Reader::kGdal, "GDAL does not take the file for CALS"},
    {Rule::kUnreadableValue, "rpelcnt rdensty", Reader::kImageMagick,
     "ImageMagick refuses the file (\"improper image header\")"},
    // "rpelcnt: 40,30", "+40, 30", "rorient: 0,270", "090,180", "rdensty:
    // 0150": both read the file.
    {Rule::kValueFormat, "", Reader::kNone, "both read the file"},
    // GDAL stops at the first NUL: a NUL in record 4 hides rpelcnt from
    // it. ImageMagick reads record by record and does not mind.
    {Rule::kNulBeforeRecord, "srcdocid rtype rorient rpelcnt", Reader::kGdal,
     "GDAL stops reading the header at the first NUL byte, before the records it needs"},
    {Rule::kNulElsewhere, "", Reader::kNone, "NUL padding behind rpelcnt or in records 10 to 16: both read it"},
    {Rule::kOtherPadding, "", Reader::kNone, "both read the file"},
    // Lines packed one after another and the header padded to 2048 bytes:
    // ImageMagick "improper image header", GDAL reads it (it searches the
    // text). Without the padding both refuse.
    {Rule::kLinesPacked, "", Reader::kImageMagick, "ImageMagick refuses such a header (\"improper image header\")"},
    {Rule::kLinesPadded, "", Reader::kNone, "records ending in LF or CR LF, padded to 128 bytes: both read the file"},
    {Rule::kBehindLineBreak, "rpelcnt rdensty", Reader::kImageMagick,
     "ImageMagick looks for it only at the start of a record"},
    {Rule::kLineBreak, "", Reader::kNone, "a line break after or inside a value: both read the file"},
    {Rule::kNotPrintable, "", Reader::kNone, "both read the file"},
    // srcdocid in record 9 or later: GDAL looks for it in the first 1024
    // bytes only. In records 2 to 8 both read the file.
    {Rule::kFoundLate, "srcdocid", Reader::kGdal,
     "GDAL looks for \"srcdocid:\" only in the first 1024 bytes (records 1 to 8)"},
    {Rule::kMisplaced, "", Reader::kNone, "records swapped or moved: both read the file"},
    {Rule::kRepeated, "", Reader::kNone, "a second record with the same value: both read the file"},
    // Two different rpelcnt records: ImageMagick takes the last, GDAL the
    // first; they show different pictures. Other records twice: both read
    // the raster the same.
    {Rule::kRepeatedDiffering, "rpelcnt", Reader::kImageMagick, "ImageMagick takes the last one, GDAL the first"},
    {Rule::kUnknownName, "", Reader::kNone, "both read the file"},
    {Rule::kNoValue, "", Reader::kNone, "both read the file"},
    {Rule::kNotBlank, "", Reader::kNone, "both read the file"},
};

bool RowIsAbout(const ReaderRow& row, std::string_view name) {
  if (row.records.empty()) return true;
  std::string_view rest = row.records;
  while (!rest.empty()) {
    const std::size_t blank = std::min(rest.find(' '), rest.size());
    if (rest.substr(0, blank) == name) return true;
    rest.remove_prefix(std::min(blank + 1, rest.size()));
  }
  return false;
}

struct Judgement {
  Severity severity = Severity::kWarning;
  std::string why;  // the refusals, "; "-separated; empty for a warning
};

// The readers that refuse a file breaking `rules` about the record `name`.
Judgement Judge(std::initializer_list<Rule> rules, std::string_view name) {
  Judgement judgement;
  for (const ReaderRow& row : kReaderRows) {
    if (row.reader == Reader::kNone || std::find(rules.begin(), rules.end(), row.rule) == rules.end() ||
        !RowIsAbout(row, name)) {
      continue;
    }
    judgement.severity = Severity::kError;
    if (!judgement.why.empty()) judgement.why += "; ";
    judgement.why += row.refusal;
  }
  return judgement;
}

// ---------------------------------------------------------------------------

// The eleven records in their order, and whether GDAL looks for them (a NUL
// byte before one hides it).
constexpr std::array<std::string_view, kNamedRecords> kNames = {
    "srcdocid", "dstdocid", "txtfilid", "figid", "srcgph", "doccls", "rtype", "rorient", "rpelcnt", "rdensty", "notes",
};
constexpr int kSrcdocid = 0;
constexpr int kRtype = 6;
constexpr int kRorient = 7;
constexpr int kRpelcnt = 8;
constexpr int kRdensty = 9;
constexpr std::array<int, 4> kGdalLooksFor = {kSrcdocid, kRtype, kRorient, kRpelcnt};
// GDAL looks for "srcdocid:" in the first 1024 bytes only.
constexpr std::int64_t kGdalIdentifyBytes = 1024;

constexpr std::array<int, 4> kRightAngles = {0, 90, 180, 270};
constexpr std::array<int, 6> kResolutions = {200, 240, 300, 400, 600, 1200};

// Header text quoted in a message: at most this many characters.
constexpr std::size_t kQuotedLength = 40;

using ascii::IsAlnum;
using ascii::IsBlank;
using ascii::IsDigit;
using ascii::IsLineBreak;
using ascii::Lower;

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// Header text for a message, which must stay plain ASCII whatever the
// header holds: other bytes are shown as \xNN. Longer text is cut at 40
// characters (never inside a \xNN), its trailing blanks dropped, and "…"
// added.
std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const std::string shown = byte >= 0x20 && byte < 0x7F ? std::string(1, c) : "\\x" + Hex(byte).substr(2);
    if (out.size() + shown.size() > kQuotedLength) {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      return out + "\u2026";
    }
    out += shown;
  }
  return out;
}

std::string Quoted(std::string_view text) { return "\"" + Printable(text) + "\""; }

std::string Padded(std::int64_t value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", digits, static_cast<long long>(value));
  return text;
}

std::u16string Widened(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::string_view TrimBlanks(std::string_view text) { return ascii::Trim(text); }

std::string Lowered(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower;
}

// Edit distance with transpositions, for names of at most a record's length.
std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// Which of the eleven names `name` stands for: the same apart from case,
// or one or two letters off (a misspelling); -1 for none. On a tie the
// name that belongs in `record` wins.
std::pair<int, bool> Match(std::string_view name, int record) {
  const std::string lower = Lowered(name);
  for (int i = 0; i < kNamedRecords; ++i) {
    if (lower == kNames[static_cast<std::size_t>(i)]) return {i, true};
  }
  int best = -1;
  std::size_t bestDistance = 3;
  for (int i = 0; i < kNamedRecords; ++i) {
    const std::size_t distance = Distance(lower, kNames[static_cast<std::size_t>(i)]);
    if (distance < bestDistance || (distance == bestDistance && i == record - 1)) {
      best = i;
      bestDistance = distance;
    }
  }
  if (best < 0 || lower.size() < 3 || bestDistance * 2 >= lower.size()) return {-1, false};
  return {best, false};
}

// Whether `text` begins (after blanks) with one of the eleven names, or a
// misspelling of one, and a colon: a CALS record.
bool IsCalsRecord(std::string_view text, int record) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view name = TrimBlanks(text.substr(0, colon));
  if (name.empty() || !std::all_of(name.begin(), name.end(), IsAlnum)) return false;
  return Match(name, record).first >= 0;
}

// One "name: value" found in a record.
struct Occurrence {
  int record = 0;
  std::int64_t offset = 0;  // of the name
  std::string name;         // as found
  int expected = -1;        // which of the eleven it stands for, or -1
  bool exact = false;       // the name is that one's, apart from case
  bool afterLineBreak = false;
  std::string value;  // without the blanks around it
};

// How the records are laid out, from their line breaks.
enum class Layout {
  kRecords,      // 128-byte records (stray line breaks are judged per record)
  kPaddedLines,  // each record a line: a line break ends its text
  kPackedLines,  // lines one after another, not at record boundaries
};

class HeaderChecker {
 public:
  explicit HeaderChecker(std::span<const std::uint8_t> header) : header_(header) {}

  HeaderReport Run() {
    if (!LooksLikeCals()) {
      AddForHeader(Severity::kError, "not a CALS header");
      return std::move(report_);
    }
    layout_ = FindLayout();
    if (layout_ == Layout::kPackedLines) {
      // Its records do not begin at 128-byte boundaries, so one cut into
      // 128-byte pieces gives values cut in two; the picture size among them.
      const Judgement judgement = Judge({Rule::kLinesPacked}, "");
      AddForHeader(judgement.severity,
                   "the header is written as lines ending in " + std::string(crlf_ ? "CR LF" : "LF") +
                       ", one after another, not as 16 records of 128 bytes: the picture size cannot be read from it" +
                       Why(judgement));
      return std::move(report_);
    }
    if (layout_ == Layout::kPaddedLines) {
      const Judgement judgement = Judge({Rule::kLinesPadded}, "");
      AddForHeader(judgement.severity, "the records are written as lines ending in " +
                                           std::string(crlf_ ? "CR LF" : "LF") +
                                           ", each padded to 128 bytes: the standard pads them with blanks only" +
                                           Why(judgement));
    }
    for (int record = 1; record <= kRecordCount; ++record) {
      if (static_cast<std::size_t>(record) * kRecordSize <= header_.size()) CheckRecord(record);
    }
    CheckNul();
    CheckPlacement();
    CheckValues();
    std::stable_sort(report_.findings.begin(), report_.findings.end(), [](const Finding& a, const Finding& b) {
      return a.record.value_or(0) < b.record.value_or(0);
    });
    return std::move(report_);
  }

 private:
  static std::string Why(const Judgement& judgement) { return judgement.why.empty() ? "" : ": " + judgement.why; }

  // About the whole header, not one record.
  void AddForHeader(Severity severity, std::string message) {
    report_.findings.push_back(Finding{severity, std::move(message), std::nullopt, std::nullopt, std::nullopt});
  }

  void Add(Severity severity, std::string message, int record, std::optional<std::int64_t> offset = std::nullopt) {
    report_.findings.push_back(Finding{severity, std::move(message), record, offset, std::nullopt});
  }

  // A finding whose severity the readers decide: the message, then what
  // the refusing readers do.
  void Add(std::initializer_list<Rule> rules, std::string_view name, std::string message, int record,
           std::optional<std::int64_t> offset = std::nullopt) {
    const Judgement judgement = Judge(rules, name);
    Add(judgement.severity, message + Why(judgement), record, offset);
  }

  std::string_view RecordBytes(int record) const {
    return {reinterpret_cast<const char*>(header_.data()) + static_cast<std::size_t>(record - 1) * kRecordSize,
            kRecordSize};
  }

  // The record's text up to its first NUL byte, without trailing blanks.
  std::string_view RecordText(int record) const {
    std::string_view text = RecordBytes(record);
    text = text.substr(0, text.find('\0'));
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
  }

  // A file whose eleven records hold no CALS record at all is some other
  // file, and its bytes judged as records would only be noise.
  bool LooksLikeCals() const {
    for (int record = 1; record <= kNamedRecords; ++record) {
      if (static_cast<std::size_t>(record) * kRecordSize > header_.size()) break;
      std::string_view text = RecordText(record);
      text = text.substr(0, text.find_first_of("\r\n"));
      if (IsCalsRecord(text, record)) return true;
    }
    return false;
  }

  Layout FindLayout() {
    int paddedLines = 0;
    for (int record = 1; record <= kRecordCount; ++record) {
      if (static_cast<std::size_t>(record) * kRecordSize > header_.size()) break;
      const std::string_view text = RecordText(record);
      const std::size_t lineBreak = text.find_first_of("\r\n");
      if (lineBreak == std::string_view::npos) continue;
      crlf_ = crlf_ || text.substr(lineBreak).starts_with("\r\n");
      const std::size_t next = text.find_first_not_of("\r\n \t", lineBreak);
      if (next == std::string_view::npos) {
        ++paddedLines;
      } else if (record == 1 && IsCalsRecord(text.substr(next), 2)) {
        // The first record holds the second: lines written one after another.
        return Layout::kPackedLines;
      } else {
        return Layout::kRecords;
      }
    }
    return paddedLines >= 2 ? Layout::kPaddedLines : Layout::kRecords;
  }

  void CheckRecord(int record) {
    const std::size_t base = static_cast<std::size_t>(record - 1) * kRecordSize;
    std::string_view bytes = RecordBytes(record);
    const bool named = record <= kNamedRecords;
    // Each record a line: the line break is padding, reported once above.
    std::string unbroken;
    if (layout_ == Layout::kPaddedLines) {
      unbroken = std::string(bytes);
      std::replace_if(unbroken.begin(), unbroken.end(), IsLineBreak, ' ');
      bytes = unbroken;
    }

    // Readers hold the header as a C string: the first NUL ends it. Where
    // it hides a record from them is judged for the whole header below.
    std::string_view text = bytes;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
      if (!firstNul_) firstNul_ = {static_cast<std::int64_t>(base + nul), record};
      text = bytes.substr(0, nul);
    }
    if (text.size() >= 3 && text.back() != ' ' && !IsAlnum(text.back()) && !IsLineBreak(text.back())) {
      const std::size_t keep = text.find_last_not_of(text.back());
      const std::size_t run = text.size() - (keep == std::string_view::npos ? 0 : keep + 1);
      if (run >= 3) {
        const auto fill = static_cast<unsigned char>(text.back());
        const std::string shown = fill >= 0x20 && fill < 0x7F ? "'" + std::string(1, text.back()) + "' (" + Hex(fill) + ")"
                                                              : Hex(fill);
        Add({Rule::kOtherPadding}, "", "padded with " + shown + " instead of spaces", record,
            static_cast<std::int64_t>(base + text.size() - run));
        text.remove_suffix(run);
      }
    }
    const std::size_t end = text.find_last_not_of(' ');
    const std::string_view content = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    if (content.empty()) return;
    if (!named) Add({Rule::kNotBlank}, "", "not blank: records 12 to 16 are left blank", record);

    // A line break in a record: another record packed behind it, or a stray
    // one.
    const std::size_t lineBreak = content.find_first_of("\r\n");
    bool packedRecords = false;
    if (lineBreak != std::string_view::npos) {
      const std::size_t next = content.find_first_not_of("\r\n \t", lineBreak);
      const std::string_view rest = next == std::string_view::npos ? std::string_view() : content.substr(next);
      const std::size_t nextColon = rest.find(':');
      if (nextColon != std::string_view::npos && nextColon > 0 &&
          std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(nextColon),
                      [](char c) { return IsAlnum(c) || IsBlank(c); })) {
        packedRecords = true;
      } else {
        Add({Rule::kLineBreak}, "", rest.empty() ? "a line break after the value" : "a line break inside the value",
            record, static_cast<std::int64_t>(base + lineBreak));
      }
    }

    // Bytes outside printable ASCII; line breaks are reported above, a tab
    // right after the colon below.
    const std::size_t colon = content.find(':');
    std::size_t odd = 0;
    std::size_t firstOdd = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
      const auto byte = static_cast<unsigned char>(content[i]);
      if (IsLineBreak(content[i]) || (content[i] == '\t' && colon != std::string_view::npos && i == colon + 1)) continue;
      if (byte < 0x20 || byte >= 0x7F) {
        if (odd++ == 0) firstOdd = i;
      }
    }
    if (odd > 0) {
      Add({Rule::kNotPrintable}, "",
          "byte " + Hex(static_cast<unsigned char>(content[firstOdd])) + " is not printable ASCII" +
              (odd > 1 ? " (and " + std::to_string(odd - 1) + " more in the record)" : ""),
          record, static_cast<std::int64_t>(base + firstOdd));
    }

    // Text in records 12 to 16 is a record only with a colon.
    if (!named && colon == std::string_view::npos) return;
    // The record's own "name: value", then any packed behind line breaks.
    std::size_t start = 0;
    bool afterBreak = false;
    while (start < content.size()) {
      const std::size_t stop =
          packedRecords ? std::min(content.find_first_of("\r\n", start), content.size()) : content.size();
      ParseSegment(content.substr(start, stop - start), record, static_cast<std::int64_t>(base + start), afterBreak);
      start = content.find_first_not_of("\r\n", stop);
      if (start == std::string_view::npos) break;
      afterBreak = true;
    }
  }

  void ParseSegment(std::string_view text, int record, std::int64_t offset, bool afterBreak) {
    std::size_t lead = 0;
    while (lead < text.size() && IsBlank(text[lead])) ++lead;
    if (lead == text.size()) return;
    const std::size_t colon = text.find(':', lead);
    std::string_view name;
    if (colon == std::string_view::npos) {
      const std::size_t wordEnd = text.find_first_of(" \t", lead);
      name = text.substr(lead, wordEnd == std::string_view::npos ? std::string_view::npos : wordEnd - lead);
    } else {
      name = TrimBlanks(text.substr(lead, colon - lead));
    }
    if (name.empty()) {
      Add({Rule::kUnknownName}, "", "a value without a record name", record, offset + static_cast<std::int64_t>(lead));
      return;
    }
    Occurrence occurrence;
    occurrence.record = record;
    occurrence.offset = offset + static_cast<std::int64_t>(lead);
    occurrence.name = std::string(name);
    occurrence.afterLineBreak = afterBreak;
    std::tie(occurrence.expected, occurrence.exact) = Match(name, record);
    // Rules about a name the readers look for apply to what it stands for.
    const std::string_view standsFor =
        occurrence.exact ? kNames[static_cast<std::size_t>(occurrence.expected)] : std::string_view("-");

    if (afterBreak) {
      Add({Rule::kBehindLineBreak}, standsFor,
          "records packed with line breaks: " + Quoted(name) + " follows a line break in the record",
          record, occurrence.offset);
    }
    if (std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
      Add({Rule::kUpperCaseName}, standsFor, "the name " + Quoted(name) + " has upper-case letters", record,
          occurrence.offset);
    }
    if (lead > 0) {
      Add({Rule::kBlanksBeforeName}, standsFor, "blanks before the name " + Quoted(name) + ", which begins the record",
          record, offset);
    }
    if (colon == std::string_view::npos) {
      Add({Rule::kNotFound}, standsFor, "no colon after the name " + Quoted(name), record, occurrence.offset);
      occurrence.value = std::string(TrimBlanks(text.substr(lead + name.size())));
      occurrences_.push_back(std::move(occurrence));
      return;
    }
    if (text.substr(lead, colon - lead).size() > name.size()) {
      Add({Rule::kBlanksBeforeColon}, standsFor, "blanks between the name " + Quoted(name) + " and the colon", record,
          occurrence.offset);
    }
    const std::string_view after = text.substr(colon + 1);
    const std::int64_t afterOffset = offset + static_cast<std::int64_t>(colon + 1);
    if (!after.empty() && after.front() == '\t') {
      Add({Rule::kTabAfterColon}, standsFor, "a tab after the colon, where the standard has one space", record,
          afterOffset);
    } else if (!after.empty()) {
      const std::size_t spaces = std::min(after.find_first_not_of(' '), after.size());
      if (spaces == 0) {
        Add({Rule::kNoSpaceAfterColon}, standsFor, "no space after the colon", record, afterOffset);
      } else if (spaces > 1 && spaces < after.size()) {
        Add({Rule::kSpacesAfterColon}, standsFor,
            std::to_string(spaces) + " spaces after the colon, where the standard has one", record, afterOffset);
      }
    }
    occurrence.value = std::string(TrimBlanks(after));
    occurrences_.push_back(std::move(occurrence));
  }

  // The first NUL byte: whether it hides a record GDAL looks for. (A NUL
  // that cuts a value short leaves a value the value rules judge.)
  void CheckNul() {
    if (!firstNul_) return;
    const std::int64_t offset = firstNul_->first;
    const int record = firstNul_->second;
    std::string_view hidden;
    for (const int i : kGdalLooksFor) {
      if (std::any_of(occurrences_.begin(), occurrences_.end(),
                      [&](const Occurrence& o) { return o.expected == i && o.offset > offset; })) {
        hidden = kNames[static_cast<std::size_t>(i)];
        break;
      }
    }
    const bool padding =
        RecordBytes(record).find_first_not_of('\0', static_cast<std::size_t>(offset) % kRecordSize) == std::string_view::npos;
    const std::string what = padding ? "padded with NUL bytes instead of spaces" : "a NUL byte inside the record";
    if (hidden.empty()) {
      Add({Rule::kNulElsewhere}, "", what, record, offset);
    } else {
      Add({Rule::kNulBeforeRecord}, hidden, what + ", before " + Quoted(hidden), record, offset);
    }
  }

  const Occurrence* First(int expected) const {
    for (const Occurrence& o : occurrences_) {
      if (o.expected == expected) return &o;
    }
    return nullptr;
  }

  void CheckPlacement() {
    for (int i = 0; i < kNamedRecords; ++i) {
      const std::string_view expected = kNames[static_cast<std::size_t>(i)];
      const Occurrence* first = First(i);
      if (first == nullptr) {
        Add({Rule::kNotFound}, expected, "no " + Quoted(expected) + " record, which belongs here", i + 1);
        continue;
      }
      if (!first->exact) {
        Add({Rule::kNotFound}, expected, Quoted(first->name) + " is probably " + Quoted(expected), first->record,
            first->offset);
      } else if (i == kSrcdocid && first->offset + static_cast<std::int64_t>(expected.size()) >= kGdalIdentifyBytes) {
        Add({Rule::kFoundLate}, expected,
            Quoted(expected) + " belongs in record 1, and lies past the first 1024 bytes", first->record);
      } else if (first->record != i + 1 && !first->afterLineBreak) {
        Add({Rule::kMisplaced}, expected, Quoted(expected) + " belongs in record " + std::to_string(i + 1),
            first->record);
      }
      for (const Occurrence& again : occurrences_) {
        if (&again == first || again.expected != i) continue;
        const bool differs = again.value != first->value;
        Add({differs ? Rule::kRepeatedDiffering : Rule::kRepeated}, expected,
            Quoted(expected) + " again (first in record " + std::to_string(first->record) + ")" +
                (differs ? " with another value" : ""),
            again.record, again.offset);
      }
    }
    for (const Occurrence& o : occurrences_) {
      if (o.expected < 0 && o.record <= kNamedRecords) {
        Add({Rule::kUnknownName}, "", "the record name " + Quoted(o.name) + " is not one of the standard's", o.record,
            o.offset);
      }
    }
  }

  void CheckValues() {
    for (int i = 0; i < kNamedRecords; ++i) {
      const Occurrence* o = First(i);
      if (o == nullptr) continue;
      switch (i) {
        case kRtype:
          CheckRtype(*o);
          break;
        case kRorient:
          CheckRorient(*o);
          break;
        case kRpelcnt:
          CheckRpelcnt(*o);
          break;
        case kRdensty:
          CheckRdensty(*o);
          break;
        default:
          if (o->value.empty() && o->exact) {
            Add({Rule::kNoValue}, "", "no value: the standard writes NONE for a record without one", o->record);
          }
      }
    }
  }

  void CheckRtype(const Occurrence& o) {
    if (o.value == "1") return;
    std::size_t pos = 0;
    const std::optional<std::int32_t> number = ScanDecimal(Widened(o.value), pos);
    std::vector<Rule> broken;
    if (number != 1) broken.push_back(Rule::kRtypeNumber);
    if (!o.value.starts_with('1')) broken.push_back(Rule::kRtypeText);
    if (broken.empty()) broken.push_back(Rule::kRtypeMore);
    const std::string message = "rtype is " + Quoted(o.value) + ", where a Type 1 raster has 1";
    if (broken.size() == 2) {
      Add({broken[0], broken[1]}, "rtype", message, o.record);
    } else {
      Add({broken[0]}, "rtype", message, o.record);
    }
  }

  // "ddd,ddd" (or "dddddd,dddddd"): what the standard writes; anything else
  // gets a reason.
  static std::string FormatProblem(std::string_view value, std::size_t digits) {
    std::vector<std::string> problems;
    if (value.find_first_of("+-") != std::string_view::npos) problems.push_back("a sign");
    if (value.find_first_of(" \t") != std::string_view::npos) problems.push_back("blanks");
    const std::size_t comma = value.find(',');
    const auto digitsOnly = [digits](std::string_view part) {
      return part.size() == digits && std::all_of(part.begin(), part.end(), IsDigit);
    };
    if (problems.empty()) {
      if (comma == std::string_view::npos ? digitsOnly(value)
                                          : digitsOnly(value.substr(0, comma)) && digitsOnly(value.substr(comma + 1))) {
        return {};
      }
      problems.push_back("numbers that are not " + std::to_string(digits) + " digits");
    }
    std::string text = problems[0];
    for (std::size_t k = 1; k < problems.size(); ++k) text += " and " + problems[k];
    return text;
  }

  void CheckRorient(const Occurrence& o) {
    report_.rorient = Printable(o.value);
    const ScannedPair angles = ScanDecimalPair(Widened(o.value), u',');
    if (!angles.first || !angles.second) {
      Add({Rule::kUnreadableValue}, "rorient", "rorient " + Quoted(o.value) + " is not two angles separated by a comma",
          o.record);
      return;
    }
    const std::string problem = FormatProblem(o.value, 3);
    if (!problem.empty()) {
      Add({Rule::kValueFormat}, "rorient",
          "rorient " + Quoted(o.value) + " has " + problem + ": the standard writes two three-digit angles", o.record);
    }
    const auto right = [](int angle) {
      return std::find(kRightAngles.begin(), kRightAngles.end(), angle) != kRightAngles.end();
    };
    const int pelPath = *angles.first;
    const int lineProgression = *angles.second;
    if (!right(pelPath)) {
      Add({Rule::kValueFormat}, "rorient",
          "the pel path " + std::to_string(pelPath) + " is not one of 000, 090, 180, 270", o.record);
    }
    if (!right(lineProgression)) {
      Add({Rule::kValueFormat}, "rorient",
          "the line progression " + std::to_string(lineProgression) + " is not one of 000, 090, 180, 270", o.record);
    } else if (lineProgression != 90 && lineProgression != 270) {
      Add({Rule::kValueFormat}, "rorient",
          "rorient " + Quoted(o.value) +
              " is not a pair the standard allows: lines progress at 090 or 270 from the pel path, never along it",
          o.record);
    }
  }

  void CheckRpelcnt(const Occurrence& o) {
    const ScannedPair size = ScanDecimalPair(Widened(o.value), u',');
    if (!size.first || !size.second || *size.first <= 0 || *size.second <= 0) {
      Add({Rule::kUnreadableValue}, "rpelcnt",
          "rpelcnt " + Quoted(o.value) + " gives no picture size (two numbers above 0, separated by a comma)",
          o.record);
      return;
    }
    report_.width = *size.first;
    report_.height = *size.second;
    const std::string problem = FormatProblem(o.value, 6);
    if (!problem.empty()) {
      std::string message = "rpelcnt " + Quoted(o.value) + " has " + problem + ": the standard writes two six-digit numbers";
      if (*size.first <= 999999 && *size.second <= 999999) {
        message += ", " + Padded(*size.first, 6) + "," + Padded(*size.second, 6);
      }
      Add({Rule::kValueFormat}, "rpelcnt", std::move(message), o.record);
    }
  }

  void CheckRdensty(const Occurrence& o) {
    std::size_t pos = 0;
    const std::optional<std::int32_t> density = ScanDecimal(Widened(o.value), pos);
    if (!density) {
      Add({Rule::kUnreadableValue}, "rdensty", "rdensty " + Quoted(o.value) + " is not a number", o.record);
      return;
    }
    const std::string problem = FormatProblem(o.value, 4);
    if (!problem.empty()) {
      Add({Rule::kValueFormat}, "rdensty",
          "rdensty " + Quoted(o.value) + " has " + problem + ": the standard writes four digits", o.record);
    }
    if (std::find(kResolutions.begin(), kResolutions.end(), *density) == kResolutions.end()) {
      Add({Rule::kValueFormat}, "rdensty",
          "rdensty " + std::to_string(*density) +
              " is not one of the standard's resolutions (200, 240, 300, 400, 600, 1200 pels per inch)",
          o.record);
    }
  }

  std::span<const std::uint8_t> header_;
  HeaderReport report_;
  std::vector<Occurrence> occurrences_;
  Layout layout_ = Layout::kRecords;
  bool crlf_ = false;
  std::optional<std::pair<std::int64_t, int>> firstNul_;  // offset and record
};

}  // namespace

HeaderReport CheckHeader(std::span<const std::uint8_t> header) { return HeaderChecker(header).Run(); }

}  // namespace cals::conformance
