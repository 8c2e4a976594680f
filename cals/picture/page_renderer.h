// Renders the picture of a CALS Type 1 file: the header read as readers
// read it (rpelcnt, rorient), the Group 4 raster decoded with the check's
// own decoder, the page put the right way up as rorient says, at full size
// (one bit per pel) or scaled by area averaging to grey.
//
// A raster that stops decoding keeps the lines decoded so far; the rest of
// the page is hatched (hatching.h), and the result says where and why.
#pragma once

#include <cstdint>
#include <string>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/group4_decoder.h"
#include "cals/picture/page_sink.h"

namespace cals::picture {

struct RenderOptions {
  // Both 0: full size, one bit per pel. Else the page is scaled to grey to
  // fit in maxWidth x maxHeight pels (0: no limit that way), keeping its
  // proportions.
  std::int32_t maxWidth = 0;
  std::int32_t maxHeight = 0;
};

enum class RenderStatus {
  kWhole,       // every line that rpelcnt gives was decoded
  kCut,         // the raster stopped decoding: the lines after linesDecoded are hatched
  kNoPicture,   // the file is shorter than a header, or rpelcnt gives no size: nothing rendered
  kTooLarge,    // the page is too large to render at this size: nothing rendered (note says why)
  kSinkFailed,  // the page sink refused a row
};

struct RenderResult {
  RenderStatus status = RenderStatus::kNoPicture;
  // rpelcnt as readers read it, the stored raster's width and lines.
  std::int32_t storedWidth = 0;
  std::int32_t storedHeight = 0;
  // The page as it is seen at full size: turned as rorient says.
  std::int32_t pageWidth = 0;
  std::int32_t pageHeight = 0;
  // The page as rendered: turned and scaled.
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string rorient;  // as found (bytes other than printable ASCII as \xNN); empty without one
  bool turned = false;  // rorient was applied; when there is one and it was not, note says why
  std::string note;
  std::int64_t linesDecoded = 0;
  // kCut: what stopped the decoder before line linesDecoded + 1.
  conformance::LineOutcome stop = conformance::LineOutcome::kDecoded;
  std::string problem;  // the decoder's reason for kInvalid
};

// Reads `file` from its start (its header, then the raster) and hands the
// rendered page to `sink`. Memory: two stored lines of changes and, for a
// scaled page, a few rows of the result; a page turned by rorient is held
// whole as rendered (one bit per pel at full size), up to kMaxHeldBytes.
RenderResult RenderPage(conformance::ByteSource& file, const RenderOptions& options, PageSink& sink);

inline constexpr std::uint64_t kMaxHeldBytes = std::uint64_t{1} << 29;    // 512 MiB
inline constexpr std::uint64_t kMaxRenderedPels = std::uint64_t{1} << 34;  // about 17 gigapels

}  // namespace cals::picture
