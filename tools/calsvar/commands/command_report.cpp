// calsvar report: one web page over many CALS files: per file its
// thumbnail, path, size, the variables the host sees and check's verdict.
//
// The work is shared between threads, since either half alone costs about
// what check costs: the drawing threads read each file once, check it and
// draw its thumbnail from the same decode (drawing_threads.h); this one
// asks the plug-in for each file's variables through COM, as get does
// (plugin_reader.h), with the header bytes of the drawing threads' read,
// so that calsvar opens each file once and the plug-in once.
#include <windows.h>

#include <cstdio>
#include <exception>

#include "base/version.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/files/file_arguments.h"
#include "tools/calsvar/files/written_file.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/load_failure.h"
#include "tools/calsvar/report/report_page.h"
#include "tools/calsvar/report/report_place.h"
#include "tools/calsvar/report_threads/drawing_threads.h"
#include "tools/calsvar/report_threads/plugin_reader.h"

namespace calsvar {
namespace {

using report::ReportRow;

// "2026-12-08 07:42 UTC+01:00".
std::string LocalTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  const char sign = bias <= 0 ? '+' : '-';
  bias = bias < 0 ? -bias : bias;
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u UTC%c%02ld:%02ld", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, sign, bias / 60, bias % 60);
  return text;
}

// rdensty as readers read it ("%d"): the dots per inch, when above 0.
std::optional<std::int32_t> Density(const std::vector<VariableValue>& values) {
  for (const VariableValue& value : values) {
    if (!value.found || value.name != L"rdensty") continue;
    std::string digits;
    for (const wchar_t c : value.value) {
      if (c == L' ' && digits.empty()) continue;
      if (c < L'0' || c > L'9' || digits.size() >= 9) break;
      digits += static_cast<char>(c);
    }
    const int dpi = digits.empty() ? 0 : std::stoi(digits);
    if (dpi > 0) return dpi;
  }
  return std::nullopt;
}

}  // namespace

int RunReport(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  NoteMissingConfiguration(console);
  const std::u16string extensions = ExtensionsOf(format);
  const FileArguments found = ExpandFileArguments(inv.files, ExtensionFilter(extensions));
  const std::vector<std::wstring>& files = found.files;
  if (files.empty()) return ReportNoCalsFiles(inv.files, extensions, console);
  const std::wstring folder = ToWide(*inv.output);
  const report::ReportPlace place(Utf8(folder), inv.singleFile, static_cast<char>(SeparatorFor(folder)));
  if (const std::string why = place.Prepare(); !why.empty()) {
    console.Err("calsvar: " + why);
    return kExitLoadFailed;
  }

  std::vector<ReportRow> rows(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) rows[i].path = Utf8(files[i]);
  DrawingThreads drawing(files, place, rows);
  drawing.Start(DrawingThreads::Count());
  PluginReader reader(files, drawing);
  reader.Run(format, console);
  while (!drawing.finished()) {
    const std::size_t done = drawing.done();
    if (done < files.size()) console.ProgressStep(done, files.size(), Utf8(files[done]));
    Sleep(50);
  }
  drawing.Join();
  console.Progress({});
  if (drawing.failure()) std::rethrow_exception(drawing.failure());

  int exitCode = kExitOk;
  CheckTally tally;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ReportRow& row = rows[i];
    if (const HRESULT hr = reader.Result(i); FAILED(hr)) {
      console.Err("calsvar: " + ExplainLoadFailure(files[i], hr));
      row.variablesNote = "the plug-in " + ExplainLoadFailureReason(files[i], hr);
      exitCode = Worse(exitCode, kExitLoadFailed);
    }
    const std::vector<VariableValue> values = reader.Values(i);
    for (const VariableValue& value : values) row.variables.emplace_back(Utf8(value.name), Utf8(value.value));
    if (row.size) row.size->dpi = Density(values);
    tally.Count(row.verdict);
    if (row.verdict == Verdict::kErrors) exitCode = Worse(exitCode, kExitRefused);
  }
  if (drawing.unreadable()) exitCode = Worse(exitCode, kExitLoadFailed);
  for (const std::string& error : drawing.errors()) {
    console.Err("calsvar: " + error);
    exitCode = Worse(exitCode, kExitLoadFailed);
  }

  report::ReportContext context;
  context.made = LocalTimeNow() + " by calsvar " + MIROTEX_VERSION_TEXT;
  for (const std::u16string& operand : inv.files) context.over.push_back(Utf8(operand));
  const std::string html = report::ReportPage(context, rows);
  WrittenFile page(place.PathOf("index.html").wstring());
  page.Write(std::span(reinterpret_cast<const std::uint8_t*>(html.data()), html.size()));
  if (const std::string error = page.Commit(); !error.empty()) {
    console.Err("calsvar: " + place.Shown("index.html") + " " + error);
    return kExitLoadFailed;
  }
  console.Out(place.Shown("index.html"));
  console.Err(tally.Summary());
  return exitCode;
}

}  // namespace calsvar
