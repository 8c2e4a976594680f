// Headers for a large benchmark corpus of CALS files: varied the way a
// real archive varies (document ids of many lengths, empty and long notes,
// every orientation, several resolutions and picture sizes), and the same
// for the same index on every machine, so that runs can be compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

// A picture the corpus reuses: its size and the resolution it was made for.
struct CorpusPicture {
  int width;
  int height;
  int dpi;
};

// The eleven records of file `index`, whose raster is `picture`.
std::vector<std::string> CorpusRecords(std::uint64_t index, const CorpusPicture& picture);

// Which of `pictureCount` pictures file `index` carries.
std::size_t CorpusPictureIndex(std::uint64_t index, std::size_t pictureCount);

// The file's name: a document-like stem and one of the format's
// extensions, mostly "cal".
std::string CorpusFileName(std::uint64_t index);

}  // namespace samples
