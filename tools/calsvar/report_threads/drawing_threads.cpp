#include "tools/calsvar/report_threads/drawing_threads.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "cals/conformance/byte_source.h"
#include "cals/header_layout.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/files/file_reading.h"
#include "tools/calsvar/files/written_file.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/picture/png_page_sink.h"
#include "tools/calsvar/picture/render_to_png.h"
#include "tools/calsvar/picture/thumbnail_sheet.h"
#include "tools/calsvar/report/html_text.h"

namespace calsvar {
namespace {

bool Drawn(cals::picture::RenderStatus status) {
  return status == cals::picture::RenderStatus::kWhole || status == cals::picture::RenderStatus::kCut;
}

}  // namespace

struct DrawingThreads::Sheet {
  std::string name;
  std::unique_ptr<WrittenFile> file;
  std::unique_ptr<picture::ThumbnailSheet> pictures;
};

unsigned DrawingThreads::Count() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

DrawingThreads::DrawingThreads(const std::vector<std::wstring>& files, const report::ReportPlace& place,
                               std::vector<report::ReportRow>& rows)
    : files_(files),
      place_(place),
      rows_(rows),
      sheetErrors_((files.size() + kSheetCells - 1) / kSheetCells),
      headers_(files.size()),
      headerRead_(files.size(), false) {
  // Named here, before the threads start, rather than by them, for the
  // same reason the plug-in reader keeps its values in one block
  // (plugin_reader.h): small blocks kept from the threads' allocations
  // make Wine's heap walk.
  if (place.singleFile) return;
  for (std::size_t i = 0; i < files.size(); ++i) rows[i].thumbnail = place.SheetName(i / kSheetCells);
}

void DrawingThreads::Start(unsigned threads) {
  threadCount_ = threads;
  for (unsigned i = 0; i < threads; ++i) threads_.Start([this] { Run(); });
}

void DrawingThreads::Run() {
  try {
    for (std::size_t batch; !failed_.load() && (batch = nextBatch_.fetch_add(1)) < sheetErrors_.size();) Draw(batch);
  } catch (...) {
    const std::lock_guard<std::mutex> lock(lock_);
    if (!failure_) failure_ = std::current_exception();
    failed_.store(true);
  }
  {
    const std::lock_guard<std::mutex> lock(lock_);
    ++threadsFinished_;
  }
  headerReady_.notify_all();
}

std::optional<std::vector<unsigned char>> DrawingThreads::TakeHeader(std::size_t i) {
  std::unique_lock<std::mutex> lock(lock_);
  headerReady_.wait(lock, [&] { return headerRead_[i] || failed_.load() || threadsFinished_ == threadCount_; });
  if (!headerRead_[i]) return std::nullopt;
  return std::move(headers_[i]);
}

bool DrawingThreads::finished() {
  const std::lock_guard<std::mutex> lock(lock_);
  return threadsFinished_ == threadCount_;
}

std::vector<std::string> DrawingThreads::errors() const {
  std::vector<std::string> errors;
  for (const std::string& error : sheetErrors_) {
    if (!error.empty()) errors.push_back(error);
  }
  return errors;
}

void DrawingThreads::Draw(std::size_t batch) {
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

void DrawingThreads::Inspect(std::size_t i, Sheet& sheet) {
  report::ReportRow& row = rows_[i];
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
  std::vector<unsigned char> header(cals::kHeaderSize);
  header.resize(file->Read(header.data(), header.size()));
  file->Seek(0);
  PublishHeader(i, std::move(header));

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

void DrawingThreads::PublishHeader(std::size_t i, std::vector<unsigned char> header) {
  {
    const std::lock_guard<std::mutex> lock(lock_);
    headers_[i] = std::move(header);
    headerRead_[i] = true;
  }
  headerReady_.notify_all();
}

}  // namespace calsvar
