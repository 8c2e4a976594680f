#include "tools/calsvar/output/check_report.h"

#include "cals/utf8.h"
#include "tools/calsvar/output/json_writer.h"

namespace calsvar {

using cals::conformance::FileReport;
using cals::conformance::Finding;

Verdict VerdictOf(const FileReport& report) {
  if (cals::conformance::HasErrors(report.findings)) return Verdict::kErrors;
  return report.findings.empty() ? Verdict::kOk : Verdict::kWarnings;
}

std::vector<std::string> CheckLines(std::u16string_view file, const FileReport& report) {
  const std::string name = cals::ToUtf8(file);
  std::vector<std::string> lines;
  for (const Finding& finding : report.findings) {
    lines.push_back(name + "\t" + cals::conformance::SeverityWord(finding.severity) + "\t" +
                    cals::conformance::FindingText(finding));
  }
  if (lines.empty()) lines.push_back(name + "\tok");
  return lines;
}

std::string CheckJson(std::u16string_view file, const FileReport& report) {
  static constexpr const char* kResults[] = {"ok", "warnings", "errors"};
  JsonWriter json;
  json.BeginObject().Key("file").String(file);
  json.Key("result").Utf8String(kResults[static_cast<int>(VerdictOf(report))]);
  json.Key("width");
  report.width ? json.Number(*report.width) : json.Null();
  json.Key("height");
  report.height ? json.Number(*report.height) : json.Null();
  json.Key("linesDecoded").Number(report.linesDecoded).Key("bytes").Number(static_cast<std::int64_t>(report.fileSize));
  json.Key("findings").BeginArray();
  for (const Finding& finding : report.findings) {
    json.BeginObject().Key("severity").Utf8String(cals::conformance::SeverityWord(finding.severity));
    json.Key("message").Utf8String(finding.message);
    if (finding.record) json.Key("record").Number(*finding.record);
    if (finding.offset) json.Key("offset").Number(*finding.offset);
    if (finding.line) json.Key("line").Number(*finding.line);
    json.EndObject();
  }
  json.EndArray().EndObject();
  return json.text();
}

std::string UnreadableLine(std::u16string_view file, std::string_view reason) {
  return cals::ToUtf8(file) + "\terror\t" + std::string(reason);
}

std::string UnreadableJson(std::u16string_view file, std::string_view reason) {
  JsonWriter json;
  json.BeginObject().Key("file").String(file).Key("error").BeginObject().Key("message").Utf8String(reason);
  json.EndObject().EndObject();
  return json.text();
}

void CheckTally::Count(Verdict verdict) {
  switch (verdict) {
    case Verdict::kOk:
      ++ok_;
      break;
    case Verdict::kWarnings:
      ++warnings_;
      break;
    case Verdict::kErrors:
      ++errors_;
      break;
  }
}

std::string CheckTally::Summary() const {
  const int files = ok_ + warnings_ + errors_;
  return std::to_string(files) + " files: " + std::to_string(ok_) + " ok, " +
         std::to_string(warnings_) + " with warnings, " + std::to_string(errors_) + " with errors";
}

}  // namespace calsvar
