#include "tools/calsvar/report/report_page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "tools/calsvar/report/html_text.h"
#include "tools/calsvar/report/report_page_assets.h"

namespace calsvar::report {
namespace {

const char* VerdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::kOk:
      return "ok";
    case Verdict::kWarnings:
      return "warning";
    case Verdict::kErrors:
      return "error";
  }
  return "";
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The header variables' names in order of first appearance, as the
// columns of calsvar get --csv.
std::vector<std::string> VariableColumns(std::span<const ReportRow> rows) {
  std::vector<std::string> names;
  for (const ReportRow& row : rows) {
    for (const auto& [name, value] : row.variables) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  return names;
}

void AppendPicture(std::string& html, const ReportRow& row) {
  if (row.thumbnail.empty() || row.thumbnailWidth <= 0 || row.thumbnailHeight <= 0) {
    html += "<td class=\"picture\">no picture</td>";
    return;
  }
  // Sorted by shape: height over width.
  html += "<td class=\"picture\" data-k=\"" + Fixed(static_cast<double>(row.thumbnailHeight) / row.thumbnailWidth, 4) +
          "\"><a class=\"zoom\" href=\"" +
          EscapeHtml(UrlOfPath(row.largerPicture.empty() ? row.thumbnail : row.largerPicture)) +
          "\"><img loading=\"lazy\" src=\"" + EscapeHtml(UrlOfPath(row.thumbnail)) + "\" width=\"" +
          std::to_string(row.thumbnailWidth) + "\" height=\"" + std::to_string(row.thumbnailHeight) + "\" alt=\"" +
          EscapeHtml(row.path) + "\"></a></td>";
}

void AppendSize(std::string& html, const std::optional<PageSize>& size) {
  if (!size) {
    html += "<td></td><td></td>";
    return;
  }
  const std::int64_t pels = std::int64_t{size->widthPels} * size->heightPels;
  html += "<td class=\"number\" data-k=\"" + std::to_string(pels) + "\">" + std::to_string(size->widthPels) +
          " &times; " + std::to_string(size->heightPels) + "</td>";
  if (!size->dpi || *size->dpi <= 0) {
    html += "<td></td>";
    return;
  }
  const double width = static_cast<double>(size->widthPels) / *size->dpi;
  const double height = static_cast<double>(size->heightPels) / *size->dpi;
  const std::string sheet = SheetName(width, height);
  html += "<td class=\"number\" data-k=\"" + Fixed(width * height, 4) + "\">" + Fixed(width, 2) + " &times; " +
          Fixed(height, 2) + " in" + (sheet.empty() ? "" : " (" + sheet + ")") + "<br>at " +
          std::to_string(*size->dpi) + " dpi</td>";
}

void AppendVerdict(std::string& html, const ReportRow& row) {
  const char* word = VerdictWord(row.verdict);
  html += "<td data-k=\"" + std::to_string(static_cast<int>(row.verdict)) + "\"><span class=\"verdict " + word +
          "\">" + word + "</span>";
  // A long list folds, so that a file with many findings does not make
  // one row as high as the screen.
  const std::size_t count = row.findings.size();
  const bool fold = count > 3;
  if (fold) {
    const auto errors = std::count_if(row.findings.begin(), row.findings.end(), [](const auto& finding) {
      return finding.severity == cals::conformance::Severity::kError;
    });
    html += "<details><summary>" + std::to_string(count) + " findings: " + std::to_string(errors) + " errors, " +
            std::to_string(static_cast<std::int64_t>(count) - errors) + " warnings</summary>";
  }
  if (count > 0) {
    for (const cals::conformance::Finding& finding : row.findings) {
      html += "<li class=\"" + std::string(cals::conformance::SeverityWord(finding.severity)) + "\">" +
              EscapeHtml(cals::conformance::SeverityWord(finding.severity)) + ": " +
              EscapeHtml(cals::conformance::FindingText(finding)) + "</li>";
    }
    html += "</ul>";
  }
  if (fold) html += "</details>";
  html += "</td>";
}

}  // namespace

std::string SheetName(double widthInches, double heightInches) {
  struct Sheet {
    const char* name;
    double shortSide;
    double longSide;
  };
  static constexpr double kMm = 1 / 25.4;
  static constexpr std::array<Sheet, 10> kSheets = {{
      {"A4", 210 * kMm, 297 * kMm},
      {"A3", 297 * kMm, 420 * kMm},
      {"A2", 420 * kMm, 594 * kMm},
      {"A1", 594 * kMm, 841 * kMm},
      {"A0", 841 * kMm, 1189 * kMm},
      {"ANSI A", 8.5, 11},
      {"ANSI B", 11, 17},
      {"ANSI C", 17, 22},
      {"ANSI D", 22, 34},
      {"ANSI E", 34, 44},
  }};
  const double shortSide = std::min(widthInches, heightInches);
  const double longSide = std::max(widthInches, heightInches);
  const auto near = [](double value, double target) { return std::abs(value - target) <= 0.02 * target; };
  for (const Sheet& sheet : kSheets) {
    if (near(shortSide, sheet.shortSide) && near(longSide, sheet.longSide)) return sheet.name;
  }
  return {};
}

std::string ReportPage(const ReportContext& context, std::span<const ReportRow> rows) {
  CheckTally tally;
  for (const ReportRow& row : rows) tally.Count(row.verdict);
  const std::vector<std::string> columns = VariableColumns(rows);

  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>CALS report: " +
      EscapeHtml(tally.Summary()) + "</title>\n<style>" + kReportStyle + "</style>\n</head>\n<body>\n<header>\n" +
      "<h1>CALS report</h1>\n<p id=\"counts\">" + EscapeHtml(tally.Summary()) + "</p>\n<p>Made " +
      EscapeHtml(context.made) + " over ";
  for (std::size_t i = 0; i < context.over.size(); ++i) {
    html += (i > 0 ? ", <code>" : "<code>") + EscapeHtml(context.over[i]) + "</code>";
  }
  html +=
      ".</p>\n<p><input id=\"filter\" type=\"search\" placeholder=\"Filter: any text\" aria-label=\"Filter\" "
      "size=\"30\"> <select id=\"verdict\" aria-label=\"Verdict\"><option value=\"\">every verdict</option>"
      "<option value=\"ok\">ok</option><option value=\"warning\">with warnings</option>"
      "<option value=\"error\">with errors</option></select> <span id=\"shown\">" +
      std::to_string(rows.size()) + " of " + std::to_string(rows.size()) +
      " shown</span> &mdash; click a column head to sort, a picture to see it larger.</p>\n</header>\n"
      "<table id=\"files\">\n<thead><tr><th data-sort=\"number\" title=\"by shape\">Picture</th><th>File</th>"
      "<th data-sort=\"number\">Pels</th><th data-sort=\"number\">Inches</th><th data-sort=\"number\">Verdict</th>";
  for (const std::string& name : columns) html += "<th>" + EscapeHtml(name) + "</th>";
  html += "</tr></thead>\n<tbody>\n";
  for (const ReportRow& row : rows) {
    html += "<tr data-verdict=\"" + std::string(VerdictWord(row.verdict)) + "\">";
    AppendPicture(html, row);
    html += "<td class=\"path\">" + EscapeHtml(row.path) + "</td>";
    AppendSize(html, row.size);
    AppendVerdict(html, row);
    for (const std::string& name : columns) {
      const auto found = std::find_if(row.variables.begin(), row.variables.end(),
                                      [&](const auto& variable) { return variable.first == name; });
      html += "<td>" + (found == row.variables.end() ? std::string() : EscapeHtml(found->second)) + "</td>";
    }
    html += "</tr>\n";
  }
  html += "</tbody>\n</table>\n<dialog id=\"zoom\" aria-label=\"Larger picture\"><img alt=\"\"></dialog>\n<script>";
  html += kReportScript;
  html += "</script>\n</body>\n</html>\n";
  return html;
}

}  // namespace calsvar::report
