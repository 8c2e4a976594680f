// The threads of calsvar report that check each file and draw its
// thumbnail from the same decode: each takes the files of one sheet of
// thumbnails at a time (thumbnail_sheet.h), so that a sheet is written by
// one thread, and fills those files' rows. They hand each file's first
// bytes on, so that calsvar reads each file once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/joined_threads.h"
#include "tools/calsvar/report/report_page.h"
#include "tools/calsvar/report/report_place.h"

namespace calsvar {

inline constexpr std::int32_t kThumbnailBox = 200;
inline constexpr std::int32_t kSheetCells = 64;  // a sheet 12,800 pels high

class DrawingThreads {
 public:
  // As many threads as cores, at most four: past that the plug-in's
  // readers are the slower part anyway.
  static unsigned Count();

  // Rows of `files`, in order. Each row's thumbnail is set here to name
  // its sheet, and cleared when nothing is drawn.
  DrawingThreads(const std::vector<std::wstring>& files, const report::ReportPlace& place,
                 std::vector<report::ReportRow>& rows);
  ~DrawingThreads() { threads_.JoinAll(); }

  void Start(unsigned threads);
  void Join() { threads_.JoinAll(); }

  // The first bytes of file i as a drawing thread read them (fewer than a
  // header when the file is shorter or could not be read); waits until
  // they are read. Nullopt when the drawing ended without them.
  std::optional<std::vector<unsigned char>> TakeHeader(std::size_t i);

  std::size_t done() const { return done_.load(); }  // files drawn so far
  bool finished();
  bool unreadable() const { return unreadable_.load(); }
  // After Join: the sheets that could not be written, in file order, and
  // an exception a thread ended with.
  std::vector<std::string> errors() const;
  std::exception_ptr failure() const { return failure_; }

 private:
  struct Sheet;
  void Run();
  void Draw(std::size_t batch);
  void Inspect(std::size_t i, Sheet& sheet);
  void PublishHeader(std::size_t i, std::vector<unsigned char> header);

  const std::vector<std::wstring>& files_;
  const report::ReportPlace& place_;
  std::vector<report::ReportRow>& rows_;  // each row written by the thread that draws its sheet
  unsigned threadCount_ = 0;
  std::atomic<std::size_t> nextBatch_{0};
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> unreadable_{false};
  std::atomic<bool> failed_{false};
  std::vector<std::string> sheetErrors_;  // per sheet, by the thread that drew it
  std::mutex lock_;                       // guards what follows
  std::condition_variable headerReady_;
  std::exception_ptr failure_;
  std::vector<std::vector<unsigned char>> headers_;
  std::vector<bool> headerRead_;
  unsigned threadsFinished_ = 0;
  JoinedThreads threads_;  // last: joined before the rest goes
};

}  // namespace calsvar
