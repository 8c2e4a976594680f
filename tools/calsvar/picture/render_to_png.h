// One CALS file rendered into a PNG picture, and judged by the check in the
// same pass (one decode): what calsvar render does for a file, and calsvar
// report for each thumbnail. When the picture is not whole, the check's
// findings say why, in the words calsvar check uses.
#pragma once

#include "cals/conformance/file_check.h"
#include "cals/file_access.h"
#include "cals/picture/page_renderer.h"
#include "cals/picture/page_sink.h"
#include "tools/calsvar/picture/byte_sink.h"

namespace calsvar::picture {

struct RenderedFile {
  cals::picture::RenderResult render;
  // A whole PNG picture went to the sink (also for a cut raster, with the
  // rest hatched); false when nothing or not all of it was written.
  bool written = false;
  cals::conformance::FileReport check;
};

// Reads `file` once from its start. Nothing is written when the file cannot
// be read from its start (status kNoPicture, no findings).
RenderedFile RenderToPng(cals::OpenFile& file, const cals::picture::RenderOptions& options, ByteSink& png);

// The same into any page sink: the check's report and the page drawn from
// its decode; the sink is started only when there is a page to draw.
struct CheckedPage {
  cals::picture::RenderResult render;
  cals::conformance::FileReport check;
};
CheckedPage CheckAndDraw(cals::conformance::ByteSource& file, const cals::picture::RenderOptions& options,
                         cals::picture::PageSink& page);

}  // namespace calsvar::picture
