#include "cals/conformance/header_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <tuple>

#include "cals/decimal_scan.h"
#include "cals/header_layout.h"

namespace cals::conformance {
namespace {

constexpr int kRecordCount = 16;
constexpr int kNamedRecords = 11;

// What the readers make of each of the eleven records: whether a file
// without it is refused, whether they find it only by its exact text
// "name:" (so a blank before the colon hides it), and whether they look
// for it only at the start of a record (so a blank before the name hides
// it).
struct ExpectedRecord {
  std::string_view name;
  bool readersNeedIt;
  bool foundByExactText;
  bool foundAtRecordStart;
};

constexpr std::array<ExpectedRecord, kNamedRecords> kExpected = {{
    {"srcdocid", false, false, false},
    {"dstdocid", false, false, false},
    {"txtfilid", false, false, false},
    {"figid", false, false, false},
    {"srcgph", false, false, false},
    {"doccls", false, false, false},
    {"rtype", true, true, false},
    {"rorient", true, true, false},
    {"rpelcnt", true, true, true},
    {"rdensty", true, true, true},
    {"notes", false, false, false},
}};
constexpr int kRtype = 6;
constexpr int kRorient = 7;
constexpr int kRpelcnt = 8;
constexpr int kRdensty = 9;

constexpr std::array<int, 4> kRightAngles = {0, 90, 180, 270};
constexpr std::array<int, 6> kResolutions = {200, 240, 300, 400, 600, 1200};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// Header text for a message, which must stay plain ASCII whatever the
// header holds: other bytes are shown as \xNN.
std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      out += "\\x" + Hex(byte).substr(2);
    }
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

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
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

class HeaderChecker {
 public:
  explicit HeaderChecker(std::span<const std::uint8_t> header) : header_(header) {}

  HeaderReport Run() {
    for (int record = 1; record <= kRecordCount; ++record) {
      if (static_cast<std::size_t>(record) * kRecordSize <= header_.size()) CheckRecord(record);
    }
    CheckPlacement();
    CheckValues();
    std::stable_sort(report_.findings.begin(), report_.findings.end(), [](const Finding& a, const Finding& b) {
      return a.record.value_or(kRecordCount + 1) < b.record.value_or(kRecordCount + 1);
    });
    return std::move(report_);
  }

 private:
  void Add(Severity severity, std::string message, int record, std::optional<std::int64_t> offset = std::nullopt) {
    report_.findings.push_back(Finding{severity, std::move(message), record, offset, std::nullopt});
  }

  void CheckRecord(int record) {
    const std::size_t base = static_cast<std::size_t>(record - 1) * kRecordSize;
    const std::string_view bytes(reinterpret_cast<const char*>(header_.data()) + base, kRecordSize);
    const bool named = record <= kNamedRecords;

    // Readers hold the header as a C string: the first NUL ends it.
    std::string_view text = bytes;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
      const bool padding = bytes.find_first_not_of('\0', nul) == std::string_view::npos;
      const Severity severity = named ? Severity::kError : Severity::kWarning;
      const std::string why = named ? ": readers stop reading the header at the first one" : "";
      Add(severity, (padding ? "padded with NUL bytes instead of spaces" : "a NUL byte inside the record") + why,
          record, static_cast<std::int64_t>(base + nul));
      text = bytes.substr(0, nul);
    }
    if (text.size() >= 3 && text.back() != ' ' && !IsAlnum(text.back()) && !IsLineBreak(text.back())) {
      const std::size_t keep = text.find_last_not_of(text.back());
      const std::size_t run = text.size() - (keep == std::string_view::npos ? 0 : keep + 1);
      if (run >= 3) {
        const auto fill = static_cast<unsigned char>(text.back());
        const std::string shown = fill >= 0x20 && fill < 0x7F ? "'" + std::string(1, text.back()) + "' (" + Hex(fill) + ")"
                                                              : Hex(fill);
        Add(Severity::kWarning, "padded with " + shown + " instead of spaces",
            record, static_cast<std::int64_t>(base + text.size() - run));
        text.remove_suffix(run);
      }
    }
    const std::size_t end = text.find_last_not_of(' ');
    const std::string_view content = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    if (content.empty()) return;
    if (!named) {
      Add(Severity::kWarning, "not blank: records 12 to 16 are left blank", record);
    }

    // A line break in a record: records written as lines, one after the
    // other, or a stray one.
    const std::size_t lineBreak = content.find_first_of("\r\n");
    bool packedRecords = false;
    if (lineBreak != std::string_view::npos) {
      const std::size_t next = content.find_first_not_of("\r\n \t", lineBreak);
      const std::string_view rest = next == std::string_view::npos ? std::string_view() : content.substr(next);
      const std::size_t colon = rest.find(':');
      const bool packed = colon != std::string_view::npos && colon > 0 &&
                          std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(colon),
                                      [](char c) { return IsAlnum(c) || IsBlank(c); });
      if (packed) {
        Add(Severity::kError, "records packed with line feeds: another record follows a line break in this one", record,
            static_cast<std::int64_t>(base + lineBreak));
        packedRecords = true;
      } else {
        Add(Severity::kWarning, rest.empty() ? "a line break after the value" : "a line break inside the value",
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
      Add(Severity::kWarning,
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

  // Which of the eleven names `name` stands for: the same apart from case,
  // or one or two letters off (a misspelling).
  static std::pair<int, bool> Match(std::string_view name, int record) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    for (int i = 0; i < kNamedRecords; ++i) {
      if (lower == kExpected[static_cast<std::size_t>(i)].name) return {i, true};
    }
    int best = -1;
    std::size_t bestDistance = 3;
    for (int i = 0; i < kNamedRecords; ++i) {
      const std::size_t distance = Distance(lower, kExpected[static_cast<std::size_t>(i)].name);
      // On a tie the name that belongs in this record wins.
      if (distance < bestDistance || (distance == bestDistance && i == record - 1)) {
        best = i;
        bestDistance = distance;
      }
    }
    if (best < 0 || lower.size() < 3 || bestDistance * 2 >= lower.size()) return {-1, false};
    return {best, false};
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
      Add(Severity::kWarning, "a value without a record name", record, offset + static_cast<std::int64_t>(lead));
      return;
    }
    Occurrence occurrence;
    occurrence.record = record;
    occurrence.offset = offset + static_cast<std::int64_t>(lead);
    occurrence.name = std::string(name);
    occurrence.afterLineBreak = afterBreak;
    std::tie(occurrence.expected, occurrence.exact) = Match(name, record);
    const ExpectedRecord* expected =
        occurrence.expected >= 0 ? &kExpected[static_cast<std::size_t>(occurrence.expected)] : nullptr;
    const auto severityIf = [](bool refused) { return refused ? Severity::kError : Severity::kWarning; };

    if (std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
      Add(Severity::kError,
          "the name " + Quoted(name) + " has upper-case letters: readers look for names in lower case", record,
          occurrence.offset);
    }
    if (lead > 0) {
      Add(severityIf(expected != nullptr && expected->foundAtRecordStart),
          "blanks before the name " + Quoted(name) + ", which begins the record", record, offset);
    }
    if (colon == std::string_view::npos) {
      Add(severityIf(expected != nullptr && expected->readersNeedIt), "no colon after the name " + Quoted(name),
          record, occurrence.offset);
      occurrence.value = std::string(TrimBlanks(text.substr(lead + name.size())));
      occurrences_.push_back(std::move(occurrence));
      return;
    }
    if (text.substr(lead, colon - lead).size() > name.size()) {
      Add(severityIf(expected != nullptr && expected->foundByExactText),
          "blanks between the name " + Quoted(name) + " and the colon", record, occurrence.offset);
    }
    const std::string_view after = text.substr(colon + 1);
    const std::int64_t afterOffset = offset + static_cast<std::int64_t>(colon + 1);
    if (!after.empty() && after.front() == '\t') {
      Add(Severity::kError, "a tab after the colon, where readers expect one space", record, afterOffset);
    } else if (!after.empty()) {
      const std::size_t spaces = std::min(after.find_first_not_of(' '), after.size());
      if (spaces == 0) {
        Add(Severity::kError, "no space after the colon", record, afterOffset);
      } else if (spaces > 1 && spaces < after.size()) {
        Add(severityIf(occurrence.expected == kRtype),
            std::to_string(spaces) + " spaces after the colon, where the standard has one", record, afterOffset);
      }
    }
    occurrence.value = std::string(TrimBlanks(after));
    occurrences_.push_back(std::move(occurrence));
  }

  const Occurrence* First(int expected) const {
    for (const Occurrence& o : occurrences_) {
      if (o.expected == expected) return &o;
    }
    return nullptr;
  }

  void CheckPlacement() {
    for (int i = 0; i < kNamedRecords; ++i) {
      const ExpectedRecord& expected = kExpected[static_cast<std::size_t>(i)];
      const Occurrence* first = First(i);
      const Severity severity = expected.readersNeedIt ? Severity::kError : Severity::kWarning;
      if (first == nullptr) {
        Add(severity, "no " + Quoted(expected.name) + " record, which belongs here", i + 1);
        continue;
      }
      if (!first->exact) {
        Add(severity,
            Quoted(first->name) + " is probably " + Quoted(expected.name) +
                (expected.readersNeedIt ? ": readers that look for " + Quoted(expected.name) + " miss it" : ""),
            first->record, first->offset);
      } else if (first->record != i + 1 && !first->afterLineBreak) {
        Add(Severity::kWarning, Quoted(expected.name) + " belongs in record " + std::to_string(i + 1), first->record);
      }
      for (const Occurrence& again : occurrences_) {
        if (&again != first && again.expected == i) {
          Add(Severity::kWarning,
              Quoted(expected.name) + " again (first in record " + std::to_string(first->record) +
                  "): readers differ in which one they take",
              again.record, again.offset);
        }
      }
    }
    for (const Occurrence& o : occurrences_) {
      if (o.expected < 0 && o.record <= kNamedRecords) {
        Add(Severity::kWarning, "the record name " + Quoted(o.name) + " is not one of the standard's", o.record, o.offset);
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
            Add(Severity::kWarning, "no value: the standard writes NONE for a record without one", o->record);
          }
      }
    }
  }

  void CheckRtype(const Occurrence& o) {
    if (o.value == "1") return;
    Add(o.value.starts_with('1') ? Severity::kWarning : Severity::kError,
        "rtype is " + Quoted(o.value) + ", where a Type 1 raster has 1", o.record);
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
      Add(Severity::kError,
          "rorient " + Quoted(o.value) + " is not two angles separated by a comma: readers refuse the file", o.record);
      return;
    }
    const std::string problem = FormatProblem(o.value, 3);
    if (!problem.empty()) {
      Add(Severity::kWarning, "rorient " + Quoted(o.value) + " has " + problem + ": the standard writes two three-digit angles",
          o.record);
    }
    const auto right = [](int angle) {
      return std::find(kRightAngles.begin(), kRightAngles.end(), angle) != kRightAngles.end();
    };
    const int pelPath = *angles.first;
    const int lineProgression = *angles.second;
    if (!right(pelPath)) {
      Add(Severity::kWarning, "the pel path " + std::to_string(pelPath) + " is not one of 000, 090, 180, 270", o.record);
    }
    if (!right(lineProgression)) {
      Add(Severity::kWarning,
          "the line progression " + std::to_string(lineProgression) + " is not one of 000, 090, 180, 270", o.record);
    } else if (lineProgression != 90 && lineProgression != 270) {
      Add(Severity::kWarning,
          "rorient " + Quoted(o.value) +
              " is not a pair the standard allows: lines progress at 090 or 270 from the pel path, never along it",
          o.record);
    }
  }

  void CheckRpelcnt(const Occurrence& o) {
    const ScannedPair size = ScanDecimalPair(Widened(o.value), u',');
    if (!size.first || !size.second || *size.first <= 0 || *size.second <= 0) {
      Add(Severity::kError,
          "rpelcnt " + Quoted(o.value) + " gives no picture size (two numbers above 0, separated by a comma): readers "
                                         "refuse the file",
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
      Add(Severity::kWarning, std::move(message), o.record);
    }
  }

  void CheckRdensty(const Occurrence& o) {
    std::size_t pos = 0;
    const std::optional<std::int32_t> density = ScanDecimal(Widened(o.value), pos);
    if (!density) {
      Add(Severity::kError, "rdensty " + Quoted(o.value) + " is not a number: readers refuse the file", o.record);
      return;
    }
    const std::string problem = FormatProblem(o.value, 4);
    if (!problem.empty()) {
      Add(Severity::kWarning, "rdensty " + Quoted(o.value) + " has " + problem + ": the standard writes four digits",
          o.record);
    }
    if (std::find(kResolutions.begin(), kResolutions.end(), *density) == kResolutions.end()) {
      Add(Severity::kWarning,
          "rdensty " + std::to_string(*density) +
              " is not one of the standard's resolutions (200, 240, 300, 400, 600, 1200 pels per inch)",
          o.record);
    }
  }

  std::span<const std::uint8_t> header_;
  HeaderReport report_;
  std::vector<Occurrence> occurrences_;
};

}  // namespace

HeaderReport CheckHeader(std::span<const std::uint8_t> header) { return HeaderChecker(header).Run(); }

}  // namespace cals::conformance
