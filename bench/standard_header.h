// The setting the in-process figures are taken in: a standard CALS header
// (eleven records, as most archives hold them) in memory, and the bundled
// sample tag configuration, which cuts rorient, rpelcnt and rdensty into
// sub-tags and makes rtype read-only.
#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tests/support/header_rig.h"
#include "tools/make_samples/cals_file_writer.h"

namespace bench {

inline constexpr char16_t kStandardFile[] = u"C:\\Archive\\DRW-1001-A.cal";

inline std::u16string SampleTagConfiguration() {
  const std::string path = std::string(MIROTEX_SOURCE_DIR) + "/samples/install/FileFormats/Mirotex.ini";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return cals::Cp1252Codec().Decode(bytes);
}

// Puts the standard file and the sample configuration into the rig.
inline void PrepareStandardHeader(testing_support::HeaderRig& rig) {
  const std::string header = samples::BuildHeader(
      samples::StandardRecords(1728, 2200, 200, "DRW-1001-A", "Flange DN80, sheet 1 of 1"));
  rig.files.files[kStandardFile] = testing_support::Bytes(header.begin(), header.end());
  rig.Configure(SampleTagConfiguration());
}

}  // namespace bench
