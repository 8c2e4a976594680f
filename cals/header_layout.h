// Where things lie in the first 2048 bytes of a CALS file.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace cals {

inline constexpr std::size_t kRecordSize = 128;
// Records 1 to 11 are read and rewritten; records 12 to 16 and the raster
// behind them are never touched.
inline constexpr std::size_t kParsedRecords = 11;
inline constexpr std::size_t kHeaderSize = 2048;
inline constexpr std::size_t kWrittenSize = kRecordSize * kParsedRecords;  // 1408
// Last byte of record 7, taken as the file's fill character.
inline constexpr std::int64_t kFillCharOffset = 895;
// Room for name + ": " + value in one record.
inline constexpr int kRecordRoom = 126;

// 126 minus the name's length: the last value position that still fits in
// the record behind "name: ", and the widest field of a tag without
// sub-tags. Held at the 32-bit minimum for absurdly long names.
constexpr std::int32_t LastValuePosition(std::size_t nameLength) {
  const std::int64_t room = std::int64_t{kRecordRoom} - static_cast<std::int64_t>(nameLength);
  return static_cast<std::int32_t>(std::max<std::int64_t>(room, std::numeric_limits<std::int32_t>::min()));
}

using HeaderBlock = std::array<unsigned char, kHeaderSize>;

}  // namespace cals
