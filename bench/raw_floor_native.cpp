// The native floor under the portable core's cost per file: open the file
// with the C library, read 2048 bytes, close it; nothing else.
//
//   raw_floor_native FOLDER|@LIST|FILE
//
// Prints the number of files, bytes read and a checksum, so that no work
// can be left out.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

#include "bench/corpus_files.h"

namespace {

struct StreamCloser {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: raw_floor_native FOLDER|@LIST|FILE\n");
    return 2;
  }
  try {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t checksum = 0;
    for (const auto& path : bench::CorpusFiles(argv[1])) {
      unsigned char header[2048];
      const std::unique_ptr<std::FILE, StreamCloser> stream(std::fopen(path.c_str(), "rb"));
      if (!stream) {
        std::fprintf(stderr, "raw_floor_native: %s: cannot be opened\n", path.c_str());
        return 1;
      }
      const std::size_t got = std::fread(header, 1, sizeof header, stream.get());
      ++files;
      bytes += got;
      for (std::size_t i = 0; i < got; ++i) checksum = checksum * 31 + header[i];
    }
    std::printf("files %llu bytes %llu checksum %llu\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(checksum));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "raw_floor_native: %s\n", error.what());
    return 1;
  }
  return 0;
}
