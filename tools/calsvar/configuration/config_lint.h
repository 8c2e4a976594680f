// Checks a tag configuration file the way the plug-in will read it, record
// section by record section, and says in plain words what a load of a file
// will make of it: which sections refuse their record (every file with
// such a record then fails to open) and which entries are ignored or
// probably not what was meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/calsvar/configuration/profile_document.h"

namespace calsvar {

enum class Severity {
  kFailsLoad,  // the plug-in refuses the record: every file with it fails to open
  kWarning,    // accepted, but something is ignored or looks unintended
};

struct Finding {
  Severity severity = Severity::kWarning;
  int line = 0;            // 0 when the finding concerns no single line
  std::u16string section;  // as written in the file, empty outside sections
  std::string entry;       // the key and, where it applies, the entry, e.g. Tagpositions "5-3"
  std::string reason;      // plain words, UTF-8
};

struct LintReport {
  int sectionsChecked = 0;
  std::vector<Finding> findings;

  int FailingSections() const;
  int Warnings() const;
};

LintReport LintTagConfiguration(const ProfileDocument& doc);

// The findings that make the plug-in refuse a record of this name (empty
// when the configuration accepts it).
std::vector<Finding> WhyRecordIsRefused(const ProfileDocument& doc, std::u16string_view recordName);

}  // namespace calsvar
