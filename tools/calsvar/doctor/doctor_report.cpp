#include "tools/calsvar/doctor/doctor_report.h"

#include <algorithm>

#include "tools/calsvar/output/json_writer.h"

namespace calsvar {
namespace {

std::string OneField(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

void DoctorReport::Add(CheckStatus status, std::string checked, std::string found) {
  results_.push_back(CheckResult{status, std::move(checked), std::move(found)});
}

int DoctorReport::Count(CheckStatus status) const {
  return static_cast<int>(
      std::count_if(results_.begin(), results_.end(), [status](const CheckResult& r) { return r.status == status; }));
}

const char* StatusWord(CheckStatus status) {
  switch (status) {
    case CheckStatus::kOk:
      return "ok";
    case CheckStatus::kWarning:
      return "warning";
    case CheckStatus::kError:
      break;
  }
  return "error";
}

std::string ResultLine(const CheckResult& result) {
  return std::string(StatusWord(result.status)) + "\t" + OneField(result.checked) + "\t" + OneField(result.found);
}

std::string SummaryLine(const DoctorReport& report) {
  return std::to_string(report.results().size()) + " checks: " + std::to_string(report.Count(CheckStatus::kOk)) +
         " ok, " + std::to_string(report.Count(CheckStatus::kWarning)) + " warnings, " +
         std::to_string(report.Count(CheckStatus::kError)) + " errors";
}

std::string ReportJson(const DoctorReport& report) {
  JsonWriter json;
  json.BeginObject().Key("checks").BeginArray();
  for (const CheckResult& r : report.results()) {
    json.BeginObject().Key("status").Utf8String(StatusWord(r.status));
    json.Key("checked").Utf8String(r.checked).Key("found").Utf8String(r.found).EndObject();
  }
  json.EndArray().Key("summary").BeginObject();
  json.Key("checks").Number(static_cast<std::int64_t>(report.results().size()));
  json.Key("ok").Number(report.Count(CheckStatus::kOk)).Key("warnings").Number(report.Count(CheckStatus::kWarning));
  json.Key("errors").Number(report.Count(CheckStatus::kError)).EndObject().EndObject();
  return json.text();
}

}  // namespace calsvar
