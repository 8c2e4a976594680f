// Thumbnails of a corpus as calsvar report makes them: every file decoded
// and scaled by area averaging to fit in 200 x 200 pels of grey, written as
// a PNG file; scripts/bench.sh times it against ImageMagick's
// "convert FILE -thumbnail 200x200 PNG", one process per file.
//
//   thumbnails [--out FOLDER] FOLDER|@LIST|FILE
//
// With --out, the thumbnails go to FOLDER/1.png, 2.png, ... in corpus
// order; without it they are made in memory only. Prints the number of
// files, of thumbnails and of PNG bytes.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "bench/corpus_files.h"
#include "cals/std_file_opener.h"
#include "tools/calsvar/picture/render_to_png.h"

namespace {

std::FILE* Create(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const bool toFiles = argc == 4 && std::string(argv[1]) == "--out";
  if (argc != 2 && !toFiles) {
    std::fprintf(stderr, "usage: thumbnails [--out FOLDER] FOLDER|@LIST|FILE\n");
    return 2;
  }
  try {
    const std::filesystem::path out = toFiles ? argv[2] : "";
    if (toFiles) std::filesystem::create_directories(out);
    cals::StdFileOpener opener;
    std::uint64_t files = 0;
    std::uint64_t thumbnails = 0;
    std::uint64_t bytes = 0;
    for (const auto& path : bench::CorpusFiles(argv[argc - 1])) {
      ++files;
      const std::unique_ptr<cals::OpenFile> file = opener.OpenForRead(path.u16string());
      if (!file) {
        std::fprintf(stderr, "thumbnails: %s: cannot be opened\n", path.string().c_str());
        return 1;
      }
      const cals::picture::RenderOptions box{200, 200};
      bool written = false;
      if (toFiles) {
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
    std::printf("files %llu thumbnails %llu bytes %llu\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(thumbnails), static_cast<unsigned long long>(bytes));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "thumbnails: %s\n", error.what());
    return 1;
  }
  return 0;
}
