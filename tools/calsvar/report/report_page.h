// The web page of calsvar report: one self-contained HTML file (styles and
// script inside it, pictures beside it or inside it as data) that shows a
// whole archive: the counts at the top, then one row per file with its
// thumbnail (click for the larger rendering), path, size in pels and
// inches, check's verdict with its findings, and one column per header
// variable. Every column sorts by a click on its head; a filter box and a
// verdict choice narrow the rows. Thumbnails load lazily, as the browser
// scrolls to them, so a page over 10,000 files opens at once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cals/conformance/finding.h"
#include "tools/calsvar/output/check_report.h"

namespace calsvar::report {

struct PageSize {
  std::int32_t widthPels = 0;   // of the page as it is seen (rorient applied)
  std::int32_t heightPels = 0;
  std::optional<std::int32_t> dpi;  // rdensty, when it gives one above 0
};

struct ReportRow {
  std::string path;  // UTF-8, as the page shows it
  // URLs: a path relative to the page ('/' between folders) or a data URL.
  // No thumbnail: the file has no picture. No larger picture: a click shows
  // the thumbnail larger.
  std::string thumbnail;
  std::int32_t thumbnailWidth = 0;
  std::int32_t thumbnailHeight = 0;
  std::string largerPicture;
  std::optional<PageSize> size;
  // The header variables as the plug-in shows them, name and value.
  std::vector<std::pair<std::string, std::string>> variables;
  Verdict verdict = Verdict::kOk;
  std::vector<cals::conformance::Finding> findings;
};

struct ReportContext {
  std::string made;               // when the report was made, as the page shows it
  std::vector<std::string> over;  // the folders and files it was made over
};

// The counts come from the rows: files, ok, with warnings, with errors.
std::string ReportPage(const ReportContext& context, std::span<const ReportRow> rows);

// "A4", "ANSI D" and the like when width x height inches is within 2 % of
// a standard drawing sheet either way up; empty otherwise.
std::string SheetName(double widthInches, double heightInches);

}  // namespace calsvar::report
