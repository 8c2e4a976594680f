#include "tools/calsvar/configuration/config_lint.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>

#include "cals/decimal_scan.h"
#include "cals/header_layout.h"
#include "cals/sub_tag_layout.h"
#include "cals/tag_config.h"
#include "cals/text_rules.h"
#include "cals/utf8.h"

namespace calsvar {
namespace {

constexpr std::u16string_view kReadonly = u"Readonly";
constexpr std::u16string_view kTagnames = u"Tagnames";
constexpr std::u16string_view kTagpositions = u"Tagpositions";

std::string Utf8(std::u16string_view text) { return cals::ToUtf8(text); }
std::string Quoted(std::u16string_view text) { return "\"" + Utf8(text) + "\""; }

// The ";"-terminated entries of a list as the plug-in walks it: a final
// ";" is optional.
std::vector<std::u16string_view> Entries(std::u16string_view list) {
  std::vector<std::u16string_view> entries;
  while (!list.empty()) {
    const std::size_t end = list.find(u';');
    entries.push_back(list.substr(0, end));
    list.remove_prefix(end == std::u16string_view::npos ? list.size() : end + 1);
  }
  return entries;
}

bool HasLetter(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); });
}

// "5 -7": the reading of "first-last" stops at the blank.
bool BlankBeforeMinus(std::u16string_view entry) {
  std::size_t pos = entry.find_first_of(u"0123456789");
  if (pos == std::u16string_view::npos) return false;
  while (pos < entry.size() && entry[pos] >= u'0' && entry[pos] <= u'9') ++pos;
  const std::size_t next = entry.find_first_not_of(u" \t", pos);
  return next != pos && next != std::u16string_view::npos && entry[next] == u'-';
}

// Why one range entry is malformed, or empty text when it is accepted.
std::string RangeProblem(std::u16string_view entry, const cals::PositionRange& r, std::int32_t room,
                         std::u16string_view section) {
  std::string why;
  if (r.first == -1 && r.last == -1) {
    if (cals::Trim(entry).empty()) {
      why = "the entry is empty (two \";\" in a row, or a \";\" at the start)";
    } else if (std::size_t pos = 0; !cals::ScanDecimal(entry, pos)) {
      why = "it does not start with a number, so no position can be read from it";
    } else {
      why = "it reads as -1 to -1, which counts as no range at all";
    }
  } else if (r.first > r.last) {
    if (r.last == -1 && BlankBeforeMinus(entry)) {
      why = "a blank stands between the first number and the minus sign, so only the first position is read";
    } else if (r.last == -1) {
      why = "it has only a first position (" + std::to_string(r.first) + "); write the range as first-last, e.g. " +
            std::to_string(r.first) + "-" + std::to_string(r.first);
    } else {
      why = "it starts after it ends (first " + std::to_string(r.first) + ", last " + std::to_string(r.last) + ")";
    }
  } else if (r.last > room) {
    why = "it ends at position " + std::to_string(r.last) + ", beyond the room of the record: a " + Quoted(section) +
          " record holds at most " + std::to_string(room) + " value characters (126 minus the " +
          std::to_string(section.size()) + " characters of its name)";
  }
  if (!why.empty() && HasLetter(entry)) {
    why += "; text after a value on the same line, such as a comment, is part of the value";
  }
  return why;
}

// A record's section as the plug-in reads it, and what it makes of it.
struct SectionReading {
  std::u16string recordName;  // lower case
  std::int32_t room = 0;
  std::u16string names;
  std::u16string positions;
  const ProfileKey* namesKey = nullptr;
  const ProfileKey* positionsKey = nullptr;
  std::optional<std::vector<cals::SubTag>> subTags;  // empty when the plug-in refuses the record
};

SectionReading ReadSection(const ProfileDocument& doc, std::u16string_view recordName) {
  SectionReading reading;
  reading.recordName = recordName;
  reading.room = cals::LastValuePosition(recordName.size());
  reading.names = doc.ReadString(recordName, kTagnames, u"", cals::kConfigTextCapacity);
  reading.positions = doc.ReadString(recordName, kTagpositions, u"", cals::kConfigTextCapacity);
  reading.namesKey = doc.FindKey(recordName, kTagnames);
  reading.positionsKey = doc.FindKey(recordName, kTagpositions);
  reading.subTags = cals::ParseSubTagLayout(reading.names, reading.positions, reading.room);
  return reading;
}

int LineOf(const ProfileKey* key, const ProfileSection& section) { return key != nullptr ? key->line : section.line; }

// The malformed ranges among those the plug-in walks.
std::vector<Finding> RefusalFindings(const SectionReading& reading, const ProfileSection& section) {
  std::vector<Finding> findings;
  if (reading.subTags) return findings;

  const auto names = Entries(reading.names);
  const auto ranges = Entries(reading.positions);
  const std::size_t walked = std::min(names.size(), ranges.size());
  for (std::size_t i = 0; i < walked; ++i) {
    const std::string why =
        RangeProblem(ranges[i], cals::ParsePositionRange(ranges[i]), reading.room, reading.recordName);
    if (why.empty()) continue;
    findings.push_back(Finding{Severity::kFailsLoad, LineOf(reading.positionsKey, section), section.name,
                               "Tagpositions entry " + std::to_string(i + 1) + " " + Quoted(ranges[i]) +
                                   " (sub-tag " + Quoted(names[i]) + ")",
                               why + "; every file with a " + Quoted(reading.recordName) +
                                   " record will fail to open"});
  }
  if (findings.empty()) {
    // The plug-in refused the record for a reason the checks above do not
    // name; say so rather than pass it over.
    findings.push_back(Finding{Severity::kFailsLoad, LineOf(reading.positionsKey, section), section.name,
                               "Tagpositions", "the plug-in refuses this record's position ranges"});
  }
  return findings;
}

void CheckReadonly(const ProfileDocument& doc, const ProfileSection& section, std::vector<Finding>& out) {
  const ProfileKey* key = doc.FindKey(section.name, kReadonly);
  if (key == nullptr || !key->value) return;
  const std::u16string text = doc.ReadString(section.name, kReadonly, u"", 30);
  if (text == u"0" || text == u"1" || text.empty()) return;
  const int value = doc.ReadInt(section.name, kReadonly, 0);
  std::string why = "Readonly " + Quoted(text) + " is read as " + std::to_string(value);
  why += value == 1 ? ", so the record is read-only; write 1" : ", so the record stays writable: only 1 makes it read-only";
  out.push_back(Finding{Severity::kWarning, key->line, section.name, "Readonly", why});
}

void CheckCounts(const SectionReading& reading, const ProfileSection& section, std::vector<Finding>& out) {
  const auto names = Entries(reading.names);
  const auto ranges = Entries(reading.positions);
  if (names.size() == ranges.size()) return;
  const bool moreNames = names.size() > ranges.size();
  const auto& longer = moreNames ? names : ranges;
  std::string ignored;
  for (std::size_t i = std::min(names.size(), ranges.size()); i < longer.size(); ++i) {
    ignored += (ignored.empty() ? "" : ", ") + Quoted(longer[i]);
  }
  const ProfileKey* key = moreNames ? reading.namesKey : reading.positionsKey;
  out.push_back(Finding{Severity::kWarning, LineOf(key, section), section.name, moreNames ? "Tagnames" : "Tagpositions",
                        "Tagnames has " + std::to_string(names.size()) + " name(s) and Tagpositions " +
                            std::to_string(ranges.size()) + " range(s); ignored: " + ignored});
}

void CheckSubTags(const SectionReading& reading, const ProfileSection& section, std::vector<Finding>& out) {
  const auto& subTags = reading.subTags;
  if (!subTags) return;
  const int line = LineOf(reading.namesKey, section);
  std::set<std::u16string> seen;
  for (std::size_t i = 0; i < subTags->size(); ++i) {
    const cals::SubTag& tag = (*subTags)[i];
    if (tag.name.empty()) {
      out.push_back(Finding{Severity::kWarning, line, section.name, "Tagnames entry " + std::to_string(i + 1),
                            "the name is empty: the sub-tag has no name a host variable can use"});
    } else if (cals::Trim(tag.name).size() != tag.name.size()) {
      out.push_back(Finding{Severity::kWarning, line, section.name, "Tagnames entry " + std::to_string(i + 1),
                            "the name " + Quoted(tag.name) +
                                " has blanks around it; blanks are part of a sub-tag name, so the host must ask for it "
                                "with them"});
    }
    if (!seen.insert(tag.name).second) {
      out.push_back(Finding{Severity::kWarning, line, section.name, "Tagnames entry " + std::to_string(i + 1),
                            "the name " + Quoted(tag.name) + " is used twice; only the first sub-tag of that name "
                                                            "can be read or written"});
    }
    if (tag.name == u"width" || tag.name == u"height" || tag.name == u"colordepth") {
      out.push_back(Finding{Severity::kWarning, line, section.name, "Tagnames entry " + std::to_string(i + 1),
                            "the name " + Quoted(tag.name) + " may hide the read-only variable of the same name "
                                                            "that the plug-in derives from rpelcnt"});
    }
    if (tag.first < 1) {
      out.push_back(Finding{Severity::kWarning, LineOf(reading.positionsKey, section), section.name,
                            "Tagpositions entry " + std::to_string(i + 1),
                            "the sub-tag " + Quoted(tag.name) + " starts at position " + std::to_string(tag.first) +
                                "; positions count from 1"});
    }
    for (std::size_t j = 0; j < i; ++j) {
      const cals::SubTag& other = (*subTags)[j];
      if (tag.first <= other.last && other.first <= tag.last) {
        out.push_back(Finding{Severity::kWarning, LineOf(reading.positionsKey, section), section.name,
                              "Tagpositions entries " + std::to_string(j + 1) + " and " + std::to_string(i + 1),
                              "the sub-tags " + Quoted(other.name) + " (" + std::to_string(other.first) + "-" +
                                  std::to_string(other.last) + ") and " + Quoted(tag.name) + " (" +
                                  std::to_string(tag.first) + "-" + std::to_string(tag.last) +
                                  ") overlap: writing one changes the other"});
      }
    }
  }
}

bool IsKnownKey(std::u16string_view name) {
  return ProfileNamesEqual(name, kReadonly) || ProfileNamesEqual(name, kTagnames) ||
         ProfileNamesEqual(name, kTagpositions);
}

bool LooksLikeComment(std::u16string_view name) { return !name.empty() && (name[0] == u';' || name[0] == u'#'); }

void CheckKeys(const ProfileSection& section, std::vector<Finding>& out) {
  for (std::size_t i = 0; i < section.keys.size(); ++i) {
    const ProfileKey& key = section.keys[i];
    if (LooksLikeComment(key.name) || key.name.empty()) continue;
    if (!IsKnownKey(key.name)) {
      out.push_back(Finding{Severity::kWarning, key.line, section.name, Utf8(key.name),
                            "unknown key, ignored (the keys are Readonly, Tagnames and Tagpositions)"});
      continue;
    }
    const auto first = std::find_if(section.keys.begin(), section.keys.begin() + static_cast<std::ptrdiff_t>(i),
                                    [&](const ProfileKey& k) { return ProfileNamesEqual(k.name, key.name); });
    if (first != section.keys.begin() + static_cast<std::ptrdiff_t>(i)) {
      out.push_back(Finding{Severity::kWarning, key.line, section.name, Utf8(key.name),
                            "a second " + Quoted(key.name) + " in this section is never read; the one at line " +
                                std::to_string(first->line) + " counts"});
    } else if (!key.value) {
      out.push_back(Finding{Severity::kWarning, key.line, section.name, Utf8(key.name),
                            "the line has no \"=\", so the key counts as missing"});
    }
  }
}

// Why no record can ever reach this section, or empty text.
std::string UnreachableReason(const ProfileSection& section) {
  if (section.name.empty()) return "a section without a name is never read: the keys before the first section take its place";
  if (section.name.find(u':') != std::u16string::npos) {
    return "a record name never holds a colon, so no record ever uses this section";
  }
  return {};
}

}  // namespace

int LintReport::FailingSections() const {
  std::set<std::u16string> failing;
  for (const Finding& f : findings) {
    if (f.severity == Severity::kFailsLoad) failing.insert(f.section);
  }
  return static_cast<int>(failing.size());
}

int LintReport::Warnings() const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [](const Finding& f) { return f.severity == Severity::kWarning; }));
}

std::vector<Finding> WhyRecordIsRefused(const ProfileDocument& doc, std::u16string_view recordName) {
  const std::u16string name = cals::ToLower(cals::Trim(recordName));
  const ProfileSection* section = doc.FindSection(name);
  if (section == nullptr) return {};
  return RefusalFindings(ReadSection(doc, name), *section);
}

LintReport LintTagConfiguration(const ProfileDocument& doc) {
  LintReport report;
  for (int line : doc.unclosedHeaderLines()) {
    report.findings.push_back(Finding{Severity::kWarning, line, {}, "section header",
                                      "the line starts with \"[\" but has no \"]\": it is read as a key, not as a "
                                      "section"});
  }
  const auto& sections = doc.sections();
  for (const ProfileKey& key : sections.front().keys) {
    if (LooksLikeComment(key.name) || key.name.empty()) continue;
    report.findings.push_back(
        Finding{Severity::kWarning, key.line, {}, Utf8(key.name),
                "a key before the first section belongs to no record (only to one without a name)"});
  }
  for (std::size_t i = 1; i < sections.size(); ++i) {
    const ProfileSection& section = sections[i];
    ++report.sectionsChecked;
    if (const std::string why = UnreachableReason(section); !why.empty()) {
      report.findings.push_back(Finding{Severity::kWarning, section.line, section.name, "section", why});
      continue;
    }
    const ProfileSection* first = doc.FindSection(section.name);
    if (first != &section) {
      report.findings.push_back(Finding{Severity::kWarning, section.line, section.name, "section",
                                        "a second section of this name is never read; the one at line " +
                                            std::to_string(first->line) + " counts"});
      continue;
    }
    const SectionReading reading = ReadSection(doc, cals::ToLower(section.name));
    auto refusals = RefusalFindings(reading, section);
    report.findings.insert(report.findings.end(), refusals.begin(), refusals.end());
    CheckKeys(section, report.findings);
    CheckReadonly(doc, section, report.findings);
    CheckCounts(reading, section, report.findings);
    CheckSubTags(reading, section, report.findings);
  }
  // The picture size is the raster's: a header whose size changes no
  // longer describes its raster, and readers then refuse the file.
  // (A configuration without the section leaves it alone on purpose.)
  if (const ProfileSection* section = doc.FindSection(u"rpelcnt");
      section != nullptr && doc.ReadInt(u"rpelcnt", kReadonly, 0) != 1) {
    report.findings.push_back(Finding{Severity::kWarning, section->line, section->name, "Readonly",
                                      "rpelcnt is writable: the host could change the picture size, and readers "
                                      "refuse a file whose size does not match its raster (Readonly=1 keeps it)"});
  }
  std::stable_sort(report.findings.begin(), report.findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return report;
}

}  // namespace calsvar
