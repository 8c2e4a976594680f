// Thumbnails of a corpus as calsvar report makes them: every file decoded
// and scaled by area averaging to fit in 200 x 200 pels of grey, written as
// a PNG file; scripts/bench.sh times it against ImageMagick's
// "convert FILE -thumbnail 200x200 PNG", one process per file.
//
//   thumbnails [--out FOLDER | --sheets] FOLDER|@LIST|FILE
//
// With --out, the thumbnails go to FOLDER/1.png, 2.png, ... in corpus
// order; without it they are made in memory only. With --sheets they are
// drawn, in memory, 64 to a sheet from the check's decode, as calsvar
// report draws them. Prints the number of files, of thumbnails and of PNG
// bytes.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "bench/corpus_files.h"
#include "cals/conformance/byte_source.h"
#include "cals/std_file_opener.h"
#include "tools/calsvar/picture/render_to_png.h"
#include "tools/calsvar/picture/thumbnail_sheet.h"

namespace {

std::FILE* Create(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

constexpr std::int32_t kBox = 200;
constexpr std::int32_t kSheetCells = 64;

// The drawing half of calsvar report: check and thumbnail from one decode,
// the thumbnails written a sheet of 64 at a time.
class Sheets {
 public:
  bool Draw(cals::OpenFile& file) {
    if (!sheet_ || cells_ == kSheetCells) Start();
    ++cells_;
    cals::conformance::FileSource source(file);
    const auto checked = calsvar::picture::CheckAndDraw(source, {kBox, kBox}, sheet_->NextCell());
    sheet_->EndCell();
    return checked.render.status == cals::picture::RenderStatus::kWhole;
  }
  std::uint64_t Finish() {
    if (sheet_) {
      while (cells_ < kSheetCells) {
        sheet_->NextCell();
        sheet_->EndCell();
        ++cells_;
      }
      sheet_->Finish();
      bytes_ += png_.bytes().size();
      sheet_.reset();
    }
    return bytes_;
  }

 private:
  void Start() {
    Finish();
    png_ = {};
    sheet_ = std::make_unique<calsvar::picture::ThumbnailSheet>(png_, kBox, kSheetCells);
    cells_ = 0;
  }
  calsvar::picture::MemorySink png_;
  std::unique_ptr<calsvar::picture::ThumbnailSheet> sheet_;
  int cells_ = 0;
  std::uint64_t bytes_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const bool toFiles = argc == 4 && std::string(argv[1]) == "--out";
  const bool toSheets = argc == 3 && std::string(argv[1]) == "--sheets";
  if (argc != 2 && !toFiles && !toSheets) {
    std::fprintf(stderr, "usage: thumbnails [--out FOLDER | --sheets] FOLDER|@LIST|FILE\n");
    return 2;
  }
  try {
    const std::filesystem::path out = toFiles ? argv[2] : "";
    if (toFiles) std::filesystem::create_directories(out);
    cals::StdFileOpener opener;
    std::uint64_t files = 0;
    std::uint64_t thumbnails = 0;
    std::uint64_t bytes = 0;
    Sheets sheets;
    for (const auto& path : bench::CorpusFiles(argv[argc - 1])) {
      ++files;
      const std::unique_ptr<cals::OpenFile> file = opener.OpenForRead(path.u16string());
      if (!file) {
        std::fprintf(stderr, "thumbnails: %s: cannot be opened\n", path.string().c_str());
        return 1;
      }
      const cals::picture::RenderOptions box{200, 200};
      bool written = false;
      if (toSheets) {
        written = sheets.Draw(*file);
      } else if (toFiles) {
        calsvar::picture::FileSink png([&] { return Create(out / (std::to_string(files) + ".png")); });
        written = calsvar::picture::RenderToPng(*file, box, png).written && png.Close();
        bytes += written ? std::filesystem::file_size(out / (std::to_string(files) + ".png")) : 0;
      } else {
        calsvar::picture::MemorySink png;
        written = calsvar::picture::RenderToPng(*file, box, png).written;
        bytes += png.bytes().size();
      }
      thumbnails += written;
    }
    bytes += sheets.Finish();
    std::printf("files %llu thumbnails %llu bytes %llu\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(thumbnails), static_cast<unsigned long long>(bytes));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "thumbnails: %s\n", error.what());
    return 1;
  }
  return 0;
}
