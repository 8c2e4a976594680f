// Writes a CALS Type 1 raster file: a 2048-byte header of sixteen 128-byte
// records padded with blanks, then the Group 4 coded picture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace samples {

inline constexpr std::size_t kRecordSize = 128;
inline constexpr std::size_t kRecordCount = 16;

// The eleven records of a standard header, "name: value", in their usual
// order; the five records after them stay blank.
std::vector<std::string> StandardRecords(int width, int height, int dpi, const std::string& docId,
                                         const std::string& notes);

// The header block: each text padded with blanks to 128 bytes, then blank
// records up to 16. Throws std::invalid_argument for a text longer than a
// record or for more than 16 records.
std::string BuildHeader(const std::vector<std::string>& records);

// Writes header and raster; throws std::runtime_error naming the file when
// it cannot be written.
void WriteCalsFile(const std::filesystem::path& file, const std::string& header,
                   const std::vector<std::uint8_t>& raster);

}  // namespace samples
