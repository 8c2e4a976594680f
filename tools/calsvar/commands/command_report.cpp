// calsvar report: one web page over many CALS files: per file its
// thumbnail, path, size, the variables the host sees and check's verdict.
//
// The work is shared between threads, since either half alone costs about
// what check costs: this one asks the plug-in for each file's variables
// through COM, as get does; the drawing threads read each file once, check
// it and draw its thumbnail from the same decode, and write the thumbnails
// a sheet at a time (thumbnail_sheet.h). Each fills its own part of the
// rows. The header bytes that list a file's names come from the drawing
// threads' read, so that calsvar opens each file once and the plug-in once.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <functional>
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

// What the plug-in shows of each file, kept until the page is written: the
// values found, of all files in one block (each name and value after its
// length). Small blocks kept per file, while each load and check allocate
// and free larger ones, leave holes that Wine's first-fit heap walks on
// every later allocation: over 10,000 files that walk took half of this
// thread's time.
class HostViews {
 public:
  explicit HostViews(std::size_t files) : ends_(files, 0), loadFailures_(files) {}

  // The values of file i, after those of every file before it.
  void Keep(std::size_t i, const std::vector<VariableValue>& values) {
    for (const VariableValue& value : values) {
      if (!value.found) continue;
      Append(value.name);
      Append(value.value);
    }
    ends_[i] = packed_.size();
  }
  std::vector<VariableValue> Values(std::size_t i) const {
    std::vector<VariableValue> values;
    for (std::size_t at = i == 0 ? 0 : ends_[i - 1]; at < ends_[i];) {
      std::wstring name = Take(at);
      std::wstring value = Take(at);
      values.push_back({std::move(name), true, std::move(value)});
    }
    return values;
  }
  std::string& loadFailure(std::size_t i) { return loadFailures_[i]; }

 private:
  void Append(const std::wstring& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    packed_.push_back(static_cast<wchar_t>(length & 0xFFFF));
    packed_.push_back(static_cast<wchar_t>(length >> 16));
    packed_.append(text);
  }
  std::wstring Take(std::size_t& at) const {
    const std::size_t length = static_cast<std::uint16_t>(packed_[at]) |
                               (static_cast<std::size_t>(static_cast<std::uint16_t>(packed_[at + 1])) << 16);
    std::wstring text = packed_.substr(at + 2, length);
    at += 2 + length;
    return text;
  }

  std::wstring packed_;
  std::vector<std::size_t> ends_;
  std::vector<std::string> loadFailures_;  // why the plug-in could not load a file
};

// The threads that check each file and draw its thumbnail: each takes the
// files of one sheet at a time, so that a sheet is written by one thread.
class Inspector {
 public:
  Inspector(const std::vector<std::wstring>& files, const report::ReportPlace& place, std::vector<ReportRow>& rows,
            unsigned threads)
      : files_(files),
        place_(place),
        rows_(rows),
        threads_(threads),
        sheetErrors_((files.size() + kSheetCells - 1) / kSheetCells),
        headers_(files.size()),
        headerRead_(files.size(), false) {}

  // One drawing thread's work, until no sheet is left or a thread failed.
  void Run() {
    try {
      for (std::size_t batch; !failed_.load() && (batch = nextBatch_.fetch_add(1)) < sheetErrors_.size();) {
        Draw(batch);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(headerLock_);
      if (!failure_) failure_ = std::current_exception();
      failed_.store(true);
    }
    {
      const std::lock_guard<std::mutex> lock(headerLock_);
      ++threadsFinished_;
    }
    headerReady_.notify_all();
  }

  // The first bytes of file i as a drawing thread read them (fewer than a
  // header when the file is shorter or could not be read); waits until
  // they are read. Nullopt when the drawing ended without them.
  std::optional<std::vector<unsigned char>> TakeHeader(std::size_t i) {
    std::unique_lock<std::mutex> lock(headerLock_);
    headerReady_.wait(lock, [&] { return headerRead_[i] || failed_.load() || threadsFinished_ == threads_; });
    if (!headerRead_[i]) return std::nullopt;
    return std::move(headers_[i]);
  }

  std::size_t done() const { return done_.load(); }
  bool finished() {
    const std::lock_guard<std::mutex> lock(headerLock_);
    return threadsFinished_ == threads_;
  }
  bool unreadable() const { return unreadable_.load(); }
  // After Run: the sheets that could not be written, in file order, and an
  // exception a thread ended with.
  std::vector<std::string> errors() const {
    std::vector<std::string> errors;
    for (const std::string& error : sheetErrors_) {
      if (!error.empty()) errors.push_back(error);
    }
    return errors;
  }
  std::exception_ptr failure() const { return failure_; }

 private:
  struct Sheet {
    std::string name;
    std::unique_ptr<WrittenFile> file;
    std::unique_ptr<picture::ThumbnailSheet> pictures;
  };

  void Draw(std::size_t batch) {
    const std::size_t first = batch * kSheetCells;
    const std::size_t end = std::min(files_.size(), first + kSheetCells);
    Sheet sheet;
    if (!place_.singleFile) {
      sheet.name = place_.SheetName(batch);
      sheet.file = std::make_unique<WrittenFile>(place_.PathOf(sheet.name).wstring());
      sheet.pictures =
          std::make_unique<picture::ThumbnailSheet>(*sheet.file, kThumbnailBox, static_cast<std::int32_t>(end - first));
    }
    for (std::size_t i = first; i < end; ++i) {
      Inspect(i, sheet);
      done_.fetch_add(1);
    }
    if (!sheet.pictures) return;
    const bool finished = sheet.pictures->Finish();
    std::string error = finished ? sheet.file->Commit() : sheet.file->error();
    if (!finished && error.empty()) error = "cannot be written";
    if (error.empty()) return;
    sheetErrors_[batch] = place_.Shown(sheet.name) + " " + error;
    for (std::size_t i = first; i < end; ++i) rows_[i].thumbnail.clear();
  }

  void Inspect(std::size_t i, Sheet& sheet) {
    ReportRow& row = rows_[i];
    const std::unique_ptr<cals::OpenFile> file = cals::WindowsHeaderPlatform().files->OpenForRead(ToUtf16(files_[i]));
    if (!file) {
      PublishHeader(i, {});
      unreadable_.store(true);
      row.verdict = Verdict::kErrors;
      row.thumbnail.clear();
      row.findings.push_back({cals::conformance::Severity::kError, WhyUnreadable(files_[i]), {}, {}, {}});
      if (sheet.pictures) {
        sheet.pictures->NextCell();
        sheet.pictures->EndCell();
      }
      return;
    }
    ReadHeader(i, *file);
    cals::conformance::FileSource source(*file);
    const cals::picture::RenderOptions box{kThumbnailBox, kThumbnailBox};
    picture::CheckedPage checked;
    bool drawn = false;
    if (sheet.pictures) {
      checked = picture::CheckAndDraw(source, box, sheet.pictures->NextCell());
      sheet.pictures->EndCell();
      drawn = Drawn(checked.render.status);
      if (drawn) row.thumbnailTop = static_cast<std::int32_t>(i % kSheetCells) * kThumbnailBox;
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
    } else {
      row.thumbnail.clear();
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
      headerRead_[i] = true;
    }
    headerReady_.notify_all();
  }

  static bool Drawn(cals::picture::RenderStatus status) {
    return status == cals::picture::RenderStatus::kWhole || status == cals::picture::RenderStatus::kCut;
  }

  const std::vector<std::wstring>& files_;
  const report::ReportPlace& place_;
  std::vector<ReportRow>& rows_;  // each row written by the thread that draws its sheet
  const unsigned threads_;
  std::atomic<std::size_t> nextBatch_{0};
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> unreadable_{false};
  std::atomic<bool> failed_{false};
  std::vector<std::string> sheetErrors_;  // per sheet, by the thread that drew it
  std::exception_ptr failure_;            // under headerLock_
  std::mutex headerLock_;
  std::condition_variable headerReady_;
  std::vector<std::vector<unsigned char>> headers_;
  std::vector<bool> headerRead_;
  unsigned threadsFinished_ = 0;
};

// Drawing threads beside the one that asks the plug-in: that one mostly
// waits for the wineserver, so on two cores two threads draw. Past four
// the plug-in's thread is the slower one anyway.
unsigned DrawingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

// Joins the drawing threads however the command's own thread leaves.
class JoinedThreads {
 public:
  ~JoinedThreads() { JoinAll(); }
  void Start(std::function<void()> work) { threads_.emplace_back(std::move(work)); }
  void JoinAll() {
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

 private:
  std::vector<std::thread> threads_;
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
  for (std::size_t i = 0; i < files.size(); ++i) {
    rows[i].path = Utf8(files[i]);
    // Named here rather than by the drawing threads, for the same reason
    // the variables are kept in one block (HostViews).
    if (!place.singleFile) rows[i].thumbnail = place.SheetName(i / kSheetCells);
  }
  const unsigned drawers = DrawingThreads();
  Inspector inspector(files, place, rows, drawers);
  JoinedThreads pictures;
  for (unsigned i = 0; i < drawers; ++i) pictures.Start([&inspector] { inspector.Run(); });

  // The variables, here on the thread of COM, while the pictures are made.
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  const cals::HeaderPlatform listing{own.codec, own.files, own.config, &installation, own.configStore};
  HostViews views(files.size());
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::size_t shown = std::min(i, inspector.done());
    console.ProgressStep(shown, files.size(), Utf8(files[shown]));
    std::optional<std::vector<unsigned char>> header = inspector.TakeHeader(i);
    if (!header) header = ReadHeaderBytes(files[i]);
    if (!header) header.emplace();
    std::vector<VariableValue> values;
    const HRESULT hr = ReadListedVariables(format, listing, files[i], *header, values);
    views.Keep(i, values);
    if (FAILED(hr)) {
      console.Err("calsvar: " + ExplainLoadFailure(files[i], hr));
      views.loadFailure(i) = "the plug-in " + ExplainLoadFailureReason(files[i], hr);
      exitCode = Worse(exitCode, kExitLoadFailed);
    }
  }
  while (!inspector.finished()) {
    const std::size_t done = inspector.done();
    if (done < files.size()) console.ProgressStep(done, files.size(), Utf8(files[done]));
    Sleep(50);
  }
  pictures.JoinAll();
  console.Progress({});
  if (inspector.failure()) std::rethrow_exception(inspector.failure());

  CheckTally tally;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ReportRow& row = rows[i];
    const std::vector<VariableValue> values = views.Values(i);
    for (const VariableValue& value : values) row.variables.emplace_back(Utf8(value.name), Utf8(value.value));
    row.variablesNote = views.loadFailure(i);
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
