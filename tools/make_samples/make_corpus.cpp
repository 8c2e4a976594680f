// Writes a benchmark corpus of CALS files with varied headers and real
// Group 4 rasters:
//   make_corpus <folder> <count>
// Files go into subfolders of 1000, as archives keep them; <folder>/
// manifest.tsv lists each file (relative path) with its width and height,
// so that other readers' answers can be checked. A handful of pictures is
// encoded once and shared, which keeps 10,000 files to a few seconds.
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/corpus_headers.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace fs = std::filesystem;
using namespace samples;

namespace {

struct EncodedPicture {
  CorpusPicture size;
  std::vector<std::uint8_t> raster;
};

std::vector<EncodedPicture> EncodePictures() {
  std::vector<EncodedPicture> pictures;
  pictures.push_back({{1654, 2339, 200}, EncodeGroup4(A4Drawing())});
  pictures.push_back({{1728, 2200, 200}, EncodeGroup4(Bitmap(1728, 2200))});
  for (const CorpusPicture& size : {CorpusPicture{800, 600, 100}, CorpusPicture{1200, 800, 150},
                                    CorpusPicture{2480, 1748, 300}, CorpusPicture{3508, 2480, 300}}) {
    pictures.push_back({size, EncodeGroup4(SmallScan(size.width, size.height))});
  }
  return pictures;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  if (argc != 3 || std::from_chars(argv[2], argv[2] + std::char_traits<char>::length(argv[2]), count).ec != std::errc() ||
      count <= 0) {
    std::fprintf(stderr, "usage: make_corpus <folder> <count>\n");
    return 2;
  }
  const fs::path root = argv[1];
  try {
    const std::vector<EncodedPicture> pictures = EncodePictures();
    fs::create_directories(root);
    std::ofstream manifest(root / "manifest.tsv", std::ios::trunc);
    for (int i = 0; i < count; ++i) {
      const auto index = static_cast<std::uint64_t>(i);
      const EncodedPicture& picture = pictures[CorpusPictureIndex(index, pictures.size())];
      const fs::path relative = fs::path("batch-" + std::to_string(i / 1000)) / CorpusFileName(index);
      fs::create_directories((root / relative).parent_path());
      WriteCalsFile(root / relative, BuildHeader(CorpusRecords(index, picture.size)), picture.raster);
      manifest << relative.generic_string() << '\t' << picture.size.width << '\t' << picture.size.height << '\n';
    }
    manifest.close();
    if (!manifest) throw std::runtime_error((root / "manifest.tsv").string() + ": cannot be written");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_corpus: %s\n", error.what());
    return 1;
  }
  std::printf("%d files in %s\n", count, root.string().c_str());
  return 0;
}
