// The portable header platform, assembled for tests: Windows-1252 text,
// files in memory, a tag configuration in memory and a fixed installation
// folder. Members may be replaced before the first use.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "cals/cp1252_codec.h"
#include "cals/header_layout.h"
#include "cals/header_platform.h"
#include "tests/support/fixed_installation.h"
#include "tests/support/memory_files.h"
#include "tests/support/memory_tag_config.h"

namespace testing_support {

inline constexpr char16_t kSharedFolder[] = u"C:\\Shared\\";
inline constexpr char16_t kIniPath[] = u"C:\\Shared\\FileFormats\\Mirotex.ini";

struct HeaderRig {
  HeaderRig() = default;
  HeaderRig(const HeaderRig&) = delete;
  HeaderRig& operator=(const HeaderRig&) = delete;

  cals::Cp1252Codec codec;
  MemoryFiles files;
  MemoryTagConfig config;
  FixedInstallation installation{kSharedFolder};
  cals::HeaderPlatform platform{&codec, &files, &config, &installation};

  void Configure(std::u16string_view iniText) { config = MemoryTagConfig(kIniPath, iniText); }
};

// One record as written: `text`, then `fill` up to its 128th byte.
inline std::string PaddedRecord(std::string text, char fill = ' ') {
  text.resize(cals::kRecordSize, fill);
  return text;
}

// A 2048-byte header: the given records, each padded with `fill` to 128
// bytes, further records filled with `fill`, then `rasterSize` bytes of a
// fixed pattern behind it.
inline Bytes MakeHeaderFile(const std::vector<std::string>& records, unsigned char fill = ' ',
                            std::size_t rasterSize = 0) {
  Bytes bytes(cals::kHeaderSize, fill);
  for (std::size_t i = 0; i < records.size() && i < 16; ++i) {
    const std::size_t size = std::min(records[i].size(), cals::kRecordSize);
    std::copy_n(records[i].begin(), size, bytes.begin() + static_cast<std::ptrdiff_t>(i * cals::kRecordSize));
  }
  for (std::size_t i = 0; i < rasterSize; ++i) bytes.push_back(static_cast<unsigned char>(i * 7 + 3));
  return bytes;
}

}  // namespace testing_support
