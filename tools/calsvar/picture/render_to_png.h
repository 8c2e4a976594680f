// One CALS file rendered into a PNG picture: what calsvar render does for
// a file, and calsvar report for each thumbnail. When the picture is not
// whole, the check's own findings about the file say why, in the words
// calsvar check uses.
#pragma once

#include <vector>

#include "cals/conformance/finding.h"
#include "cals/file_access.h"
#include "cals/picture/page_renderer.h"
#include "tools/calsvar/picture/byte_sink.h"

namespace calsvar::picture {

struct RenderedFile {
  cals::picture::RenderResult render;
  // A whole PNG picture went to the sink (also for a cut raster, with the
  // rest hatched); false when nothing or not all of it was written.
  bool written = false;
  // The check's errors, when the raster was cut or there was no picture.
  std::vector<cals::conformance::Finding> errors;
};

// Reads `file` from its start, and again for the check when the picture is
// not whole. Nothing is written when the file cannot be read from its
// start (status kNoPicture, no errors).
RenderedFile RenderToPng(cals::OpenFile& file, const cals::picture::RenderOptions& options, ByteSink& png);

}  // namespace calsvar::picture
