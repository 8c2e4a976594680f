// calsvar report: one web page over many CALS files: per file its
// thumbnail, path, size, the variables the host sees and check's verdict.
//
// Two threads share the work, since either half alone costs about what
// check costs: this one asks the plug-in for each file's variables through
// COM, as get does; the other reads each file once, checks it and draws its
// thumbnail from the same decode, and writes the thumbnails a sheet at a
// time (thumbnail_sheet.h). Each fills its own part of the rows. The
// header bytes that list a file's names come from the other thread's read,
// so that calsvar opens each file once and the plug-in once.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "base/version.h"
#include "cals/conformance/byte_source.h"
#include "cals/header_layout.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/configuration/remembered_settings.h"
#include "tools/calsvar/files/file_arguments.h"
#include "tools/calsvar/files/file_reading.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/files/written_file.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/picture/png_page_sink.h"
#include "tools/calsvar/picture/render_to_png.h"
#include "tools/calsvar/picture/thumbnail_sheet.h"
#include "tools/calsvar/plugin/listed_variables.h"
#include "tools/calsvar/plugin/load_failure.h"
#include "tools/calsvar/report/html_text.h"
#include "tools/calsvar/report/report_page.h"
#include "tools/calsvar/report/report_place.h"

namespace calsvar {
namespace {

using report::ReportRow;

constexpr std::int32_t kThumbnailBox = 200;
constexpr std::int32_t kSheetCells = 64;  // a sheet 12,800 pels high

// What the plug-in shows of one file, kept until the page is written: the
// values found, packed into one block (each name and value after its
// length). Dozens of small blocks per file, kept while each load frees
// larger ones, leave holes that Wine's first-fit heap walks on every later
// allocation: over 10,000 files that walk took half of this thread's time.
struct HostView {
  std::wstring packed;
  std::string loadFailure;

  void Pack(const std::vector<VariableValue>& values) {
    std::size_t size = 0;
    for (const VariableValue& value : values) {
      if (value.found) size += value.name.size() + value.value.size() + 4;
    }
    packed.reserve(size);
    for (const VariableValue& value : values) {
      if (!value.found) continue;
      Append(value.name);
      Append(value.value);
    }
  }
  std::vector<VariableValue> Unpacked() const {
    std::vector<VariableValue> values;
    for (std::size_t at = 0; at < packed.size();) {
      std::wstring name = Take(at);
      std::wstring value = Take(at);
      values.push_back({std::move(name), true, std::move(value)});
    }
    return values;
  }

 private:
  void Append(const std::wstring& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    packed.push_back(static_cast<wchar_t>(length & 0xFFFF));
    packed.push_back(static_cast<wchar_t>(length >> 16));
    packed.append(text);
  }
  std::wstring Take(std::size_t& at) const {
    const std::size_t length = static_cast<std::uint16_t>(packed[at]) |
                               (static_cast<std::size_t>(static_cast<std::uint16_t>(packed[at + 1])) << 16);
    std::wstring text = packed.substr(at + 2, length);
    at += 2 + length;
    return text;
  }
};

// The thread that checks each file and draws its thumbnail.
class Inspector {
 public:
  Inspector(const std::vector<std::wstring>& files, const report::ReportPlace& place, std::vector<ReportRow>& rows)
      : files_(files), place_(place), rows_(rows), headers_(files.size()) {}

  void Run() {
    try {
      for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!place_.singleFile && i % kSheetCells == 0) StartSheet(i);
        Inspect(i);
        done_.store(i + 1);
      }
      EndSheet();
    } catch (...) {
      failure_ = std::current_exception();
    }
    {
      const std::lock_guard<std::mutex> lock(headerLock_);
      finished_.store(true);
    }
    headerReady_.notify_all();
  }

  // The first bytes of file i as this thread read them (fewer than a header
  // when the file is shorter or could not be read); waits until they are
  // read. Nullopt when this thread ended before file i.
  std::optional<std::vector<unsigned char>> TakeHeader(std::size_t i) {
    std::unique_lock<std::mutex> lock(headerLock_);
    headerReady_.wait(lock, [&] { return headersRead_ > i || finished_.load(); });
    if (headersRead_ <= i) return std::nullopt;
    return std::move(headers_[i]);
  }

  std::size_t done() const { return done_.load(); }
  bool finished() const { return finished_.load(); }
  bool unreadable() const { return unreadable_; }
  // After Run: what could not be written, and an exception it ended with.
  const std::vector<std::string>& errors() const { return errors_; }
  std::exception_ptr failure() const { return failure_; }

 private:
  void Inspect(std::size_t i) {
    ReportRow& row = rows_[i];
    const std::unique_ptr<cals::OpenFile> file = cals::WindowsHeaderPlatform().files->OpenForRead(ToUtf16(files_[i]));
    if (!file) {
      PublishHeader(i, {});
      unreadable_ = true;
      row.verdict = Verdict::kErrors;
      row.findings.push_back({cals::conformance::Severity::kError, WhyUnreadable(files_[i]), {}, {}, {}});
      if (sheet_) {
        sheet_->NextCell();
        sheet_->EndCell();
      }
      return;
    }
    ReadHeader(i, *file);
    cals::conformance::FileSource source(*file);
    const cals::picture::RenderOptions box{kThumbnailBox, kThumbnailBox};
    picture::CheckedPage checked;
    bool drawn = false;
    if (sheet_) {
      checked = picture::CheckAndDraw(source, box, sheet_->NextCell());
      sheet_->EndCell();
      drawn = Drawn(checked.render.status);
      if (drawn) {
        row.thumbnail = sheetName_;
        row.thumbnailTop = static_cast<std::int32_t>(i % kSheetCells) * kThumbnailBox;
      }
    } else {
      picture::MemorySink png;
      picture::PngPageSink sink(png, picture::PngCompression::kFast);
      checked = picture::CheckAndDraw(source, box, sink);
      drawn = Drawn(checked.render.status) && sink.Finish();
      if (drawn) row.thumbnail = report::DataUrl("image/png", png.bytes());
    }
    if (drawn) {
      row.thumbnailWidth = checked.render.width;
      row.thumbnailHeight = checked.render.height;
    }
    if (checked.render.pageWidth > 0) {
      row.size = report::PageSize{checked.render.pageWidth, checked.render.pageHeight, std::nullopt};
    }
    row.verdict = VerdictOf(checked.check);
    row.findings = std::move(checked.check.findings);
  }

  void ReadHeader(std::size_t i, cals::OpenFile& file) {
    std::vector<unsigned char> header(cals::kHeaderSize);
    header.resize(file.Read(header.data(), header.size()));
    file.Seek(0);
    PublishHeader(i, std::move(header));
  }

  void PublishHeader(std::size_t i, std::vector<unsigned char> header) {
    {
      const std::lock_guard<std::mutex> lock(headerLock_);
      headers_[i] = std::move(header);
      headersRead_ = i + 1;
    }
    headerReady_.notify_one();
  }

  static bool Drawn(cals::picture::RenderStatus status) {
    return status == cals::picture::RenderStatus::kWhole || status == cals::picture::RenderStatus::kCut;
  }

  void StartSheet(std::size_t first) {
    EndSheet();
    sheetFirst_ = first;
    const auto cells = static_cast<std::int32_t>(std::min<std::size_t>(kSheetCells, files_.size() - first));
    sheetName_ = place_.SheetName(first / kSheetCells);
    sheetFile_ = std::make_unique<WrittenFile>(place_.PathOf(sheetName_).wstring());
    sheet_ = std::make_unique<picture::ThumbnailSheet>(*sheetFile_, kThumbnailBox, cells);
  }

  void EndSheet() {
    if (!sheet_) return;
    const bool finished = sheet_->Finish();
    std::string error = finished ? sheetFile_->Commit() : sheetFile_->error();
    if (!finished && error.empty()) error = "cannot be written";
    sheet_.reset();
    sheetFile_.reset();
    if (error.empty()) return;
    errors_.push_back(place_.Shown(sheetName_) + " " + error);
    for (std::size_t i = sheetFirst_; i < std::min(files_.size(), sheetFirst_ + kSheetCells); ++i) {
      rows_[i].thumbnail.clear();
    }
  }

  const std::vector<std::wstring>& files_;
  const report::ReportPlace& place_;
  std::vector<ReportRow>& rows_;
  std::unique_ptr<WrittenFile> sheetFile_;
  std::unique_ptr<picture::ThumbnailSheet> sheet_;
  std::string sheetName_;
  std::size_t sheetFirst_ = 0;
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> finished_{false};
  bool unreadable_ = false;
  std::vector<std::string> errors_;
  std::exception_ptr failure_;
  std::mutex headerLock_;
  std::condition_variable headerReady_;
  std::vector<std::vector<unsigned char>> headers_;
  std::size_t headersRead_ = 0;
};

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
  Inspector inspector(files, place, rows);
  std::thread pictures([&inspector] { inspector.Run(); });

  // The variables, here on the thread of COM, while the pictures are made.
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  const cals::HeaderPlatform listing{own.codec, own.files, own.config, &installation, own.configStore};
  std::vector<HostView> views(files.size());
  int exitCode = kExitOk;
  try {
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::size_t shown = std::min(i, inspector.done());
      console.ProgressStep(shown, files.size(), Utf8(files[shown]));
      std::optional<std::vector<unsigned char>> header = inspector.TakeHeader(i);
      if (!header) header = ReadHeaderBytes(files[i]);
      if (!header) header.emplace();
      std::vector<VariableValue> values;
      const HRESULT hr = ReadListedVariables(format, listing, files[i], *header, values);
      views[i].Pack(values);
      if (FAILED(hr)) {
        console.Err("calsvar: " + ExplainLoadFailure(files[i], hr));
        views[i].loadFailure = "the plug-in " + ExplainLoadFailureReason(files[i], hr);
        exitCode = Worse(exitCode, kExitLoadFailed);
      }
    }
  } catch (...) {
    pictures.join();
    throw;
  }
  while (!inspector.finished()) {
    const std::size_t done = inspector.done();
    if (done < files.size()) console.ProgressStep(done, files.size(), Utf8(files[done]));
    Sleep(50);
  }
  pictures.join();
  console.Progress({});
  if (inspector.failure()) std::rethrow_exception(inspector.failure());

  CheckTally tally;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ReportRow& row = rows[i];
    const std::vector<VariableValue> values = views[i].Unpacked();
    for (const VariableValue& value : values) row.variables.emplace_back(Utf8(value.name), Utf8(value.value));
    row.variablesNote = views[i].loadFailure;
    if (row.size) row.size->dpi = Density(values);
    tally.Count(row.verdict);
    if (row.verdict == Verdict::kErrors) exitCode = Worse(exitCode, kExitRefused);
  }
  if (inspector.unreadable()) exitCode = Worse(exitCode, kExitLoadFailed);
  for (const std::string& error : inspector.errors()) {
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
