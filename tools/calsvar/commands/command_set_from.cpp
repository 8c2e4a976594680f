// calsvar set --from: the values of a table (CSV or JSON lines, as get
// writes them) into many files, each file written exactly as asked or not
// at all, with one line per file and a summary.
#include <windows.h>

#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/commands/write_report.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/tables/import_table.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/plugin/plugin_write.h"
#include "tools/calsvar/plugin/write_tally.h"
#include "tools/calsvar/output/value_text.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/files/file_identity.h"
#include "tools/calsvar/files/file_reading.h"
#include "tools/calsvar/tables/csv_table.h"

namespace calsvar {
namespace {

// The table's bytes, from the file or from standard input ("-").
bool ReadTable(const std::u16string& name, std::string& bytes, std::string& error) {
  if (name == u"-") {
    if (ReadUpTo(GetStdHandle(STD_INPUT_HANDLE), bytes)) return true;
    error = "standard input cannot be read";
    return false;
  }
  const cals::UniqueFile file = OpenForReading(ToWide(name));
  if (file.get() == INVALID_HANDLE_VALUE || !ReadUpTo(file.get(), bytes)) {
    error = Utf8(name) + ": the table cannot be read";
    return false;
  }
  return true;
}

// name: "old" → "new" for each variable that changes; for a refused file
// each refused name and what it would have become.
std::string Details(const FileWriteOutcome& outcome) {
  if (outcome.status == WriteStatus::kFailed || (outcome.status == WriteStatus::kRefused && !outcome.message.empty())) {
    return outcome.message;
  }
  std::string details;
  const auto add = [&](const std::string& part) { details += (details.empty() ? "" : "; ") + part; };
  const bool refused = outcome.status == WriteStatus::kRefused;
  for (const VariableVerdict& v : outcome.plan.variables) {
    if (v.unchanged || (refused && v.reason.empty())) continue;
    std::string part = EscapedForLine(v.name) + ": ";
    if (!refused) {
      add(part + QuotedForMessage(v.old.value_or(u"")) + " \u2192 " + QuotedForMessage(v.become.value_or(v.asked)));
    } else if (v.become) {
      add(part + QuotedForMessage(v.asked) + " would become " + QuotedForMessage(*v.become) + " (" + v.reason + ")");
    } else {
      add(part + v.reason);
    }
  }
  for (const std::string& effect : outcome.plan.sideEffects) add(effect);
  return details;
}

void ShowJson(Console& console, const std::u16string& file, const FileWriteOutcome& outcome) {
  JsonWriter json;
  json.BeginObject().Key("file").String(file).Key("status").Utf8String(StatusWord(outcome.status));
  if (!outcome.message.empty()) json.Key("message").Utf8String(outcome.message);
  json.Key("variables").BeginArray();
  for (const VariableVerdict& v : outcome.plan.variables) {
    if (v.unchanged) continue;
    json.BeginObject().Key("name").String(v.name).Key("old");
    if (v.old) {
      json.String(*v.old);
    } else {
      json.Null();
    }
    json.Key("new").String(v.become.value_or(v.asked));
    if (!v.reason.empty()) json.Key("reason").Utf8String(v.reason);
    json.EndObject();
  }
  json.EndArray();
  if (!outcome.plan.sideEffects.empty()) {
    json.Key("sideEffects").BeginArray();
    for (const std::string& effect : outcome.plan.sideEffects) json.Utf8String(effect);
    json.EndArray();
  }
  AddSaveEffectsJson(json, outcome);
  json.EndObject();
  console.Out(json.text());
}

}  // namespace

int RunSetFrom(const Invocation& inv, const PluginConnection& plugin, Console& console) {
  const std::u16string& tableName = *inv.fromTable;
  std::string bytes;
  std::string error;
  if (!ReadTable(tableName, bytes, error)) {
    console.Err("calsvar: " + error);
    return kExitUsage;
  }
  const ImportTable table = ReadImportTable(bytes, tableName == u"-" ? std::u16string() : FolderOf(tableName));
  const std::string shownTable = tableName == u"-" ? std::string("standard input") : Utf8(tableName);
  if (!table.error.empty()) {
    console.Err("calsvar: " + shownTable + ": " + table.error + "; nothing was written");
    return kExitUsage;
  }
  // Two spellings of one file pass any comparison of text (trailing dots
  // and blanks, short names, hard links): each file is opened once and
  // known by its volume and file index before anything is written.
  std::vector<std::wstring> paths;
  for (const TableRow& row : table.rows) paths.push_back(ToWide(row.file));
  if (const auto same = FirstFileNamedTwice(paths)) {
    const TableRow& first = table.rows[same->first];
    const TableRow& second = table.rows[same->second];
    console.Err("calsvar: " + shownTable + ": lines " + std::to_string(first.line) + " and " +
                std::to_string(second.line) + " name one file, as " + QuotedForMessage(first.file) + " and " +
                QuotedForMessage(second.file) + "; nothing was written");
    return kExitUsage;
  }

  NoteMissingConfiguration(console);
  WriteSettings settings = WriteSettingsFor(inv, plugin, console);
  settings.skipUnchanged = true;
  FileWriter writer(plugin.format(), settings);
  WriteTally tally;
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const TableRow& row = table.rows[i];
    console.ProgressStep(i, table.rows.size(), Utf8(row.file));
    std::vector<Assignment> values;
    for (const TableValue& value : row.values) values.push_back(Assignment{value.name, value.text, std::nullopt});
    const FileWriteOutcome outcome = writer.Write(ToWide(row.file), values);
    tally.Count(outcome);
    if (inv.json) {
      ShowJson(console, row.file, outcome);
    } else {
      console.Out(EscapedForLine(row.file) + "\t" + StatusWord(outcome.status) + "\t" + Details(outcome));
      // Under the file's line, led by a tab: a script that reads the
      // file's status from the first two cells meets an empty first cell.
      ShowRecordLines(console, outcome, "\t");
    }
    ShowFindingsAdded(console, Utf8(row.file), outcome);
    if (outcome.status == WriteStatus::kRefused) exitCode = Worse(exitCode, kExitRefused);
    if (outcome.status == WriteStatus::kFailed) exitCode = Worse(exitCode, kExitLoadFailed);
  }
  console.Progress({});
  // A table a spreadsheet wrote with another separator than "," says so.
  console.Err(tally.Summary(inv.dryRun, table.separator == u',' ? std::string()
                                                               : "cells separated by " + SeparatorName(table.separator)));
  return exitCode;
}

}  // namespace calsvar
