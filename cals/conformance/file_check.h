// calsvar check's judgement of one CALS Type 1 file: the header against the
// standard's rules, then a full decode of the Group 4 raster behind it,
// which must give exactly the lines rpelcnt claims, of its width.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/finding.h"

namespace cals::conformance {

struct FileReport {
  std::vector<Finding> findings;  // header findings by record, then raster findings
  // The size decoded against: rpelcnt's two numbers as readers read them
  // (width first, whatever rorient says); empty when rpelcnt gives none.
  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
  std::int64_t linesDecoded = 0;
  std::uint64_t fileSize = 0;
};

// Sees the raster as the check decodes it, so that a caller can draw the
// page from the same decode (calsvar render and report).
class RasterLines {
 public:
  virtual ~RasterLines() = default;
  // Before the first line, when rpelcnt gives a size to decode against;
  // `rorient` as HeaderReport gives it.
  virtual void Begin(std::int32_t width, std::int32_t height, const std::string& rorient) = 0;
  // Each line decoded, as Group4Decoder::Changes gives it.
  virtual void Line(std::span<const std::int32_t> changes) = 0;
};

// Reads `file` to its end once, in its own pieces; memory stays bounded by
// two raster lines whatever the header claims. `lines`, when given, sees
// every line decoded.
FileReport CheckFile(ByteSource& file, RasterLines* lines = nullptr);

}  // namespace cals::conformance
