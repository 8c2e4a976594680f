#include "tools/calsvar/commands/write_report.h"

#include "tools/calsvar/output/value_text.h"

namespace calsvar {

namespace {

// Records are shown for what was written, or would be in a dry run; a
// refused or failed file keeps every byte.
bool Rewrites(const FileWriteOutcome& outcome) {
  return outcome.status == WriteStatus::kSaved || outcome.status == WriteStatus::kWouldSave;
}

}  // namespace

void ShowRecordLines(Console& console, const FileWriteOutcome& outcome, std::string_view lead) {
  if (!Rewrites(outcome)) return;
  for (const RecordChange& record : outcome.records) {
    console.Out(std::string(lead) + "record " + std::to_string(record.number) + "\t" + EscapedForLine(record.before) +
                "\t" + EscapedForLine(record.after));
  }
}

void AddSaveEffectsJson(JsonWriter& json, const FileWriteOutcome& outcome) {
  if (Rewrites(outcome) && !outcome.records.empty()) {
    json.Key("records").BeginArray();
    for (const RecordChange& record : outcome.records) {
      json.BeginObject().Key("record").Number(record.number);
      json.Key("old").String(record.before).Key("new").String(record.after).EndObject();
    }
    json.EndArray();
  }
  if (!outcome.findingsAdded.empty()) {
    json.Key("findingsAdded").BeginArray();
    for (const cals::conformance::Finding& finding : outcome.findingsAdded) {
      json.BeginObject().Key("severity").Utf8String(cals::conformance::SeverityWord(finding.severity));
      json.Key("finding").Utf8String(cals::conformance::FindingText(finding)).EndObject();
    }
    json.EndArray();
  }
}

void ShowFindingsAdded(Console& console, const std::string& file, const FileWriteOutcome& outcome) {
  for (const cals::conformance::Finding& finding : outcome.findingsAdded) {
    console.Err("calsvar: " + file + ": " + cals::conformance::SeverityWord(finding.severity) +
                " added by the save, as calsvar check sees it: " + cals::conformance::FindingText(finding));
  }
}

}  // namespace calsvar
