#include "tools/calsvar/picture/render_to_png.h"

#include <algorithm>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/file_check.h"
#include "tools/calsvar/picture/png_page_sink.h"

namespace calsvar::picture {

using cals::picture::RenderStatus;

RenderedFile RenderToPng(cals::OpenFile& file, const cals::picture::RenderOptions& options, ByteSink& png) {
  RenderedFile rendered;
  if (!file.Seek(0)) return rendered;
  {
    cals::conformance::FileSource source(file);
    // A scaled page is a thumbnail, one of thousands.
    const bool scaled = options.maxWidth > 0 || options.maxHeight > 0;
    PngPageSink sink(png, scaled ? PngCompression::kFast : PngCompression::kSmall);
    rendered.render = cals::picture::RenderPage(source, options, sink);
    const RenderStatus status = rendered.render.status;
    rendered.written = (status == RenderStatus::kWhole || status == RenderStatus::kCut) && sink.Finish();
  }
  const RenderStatus status = rendered.render.status;
  if ((status == RenderStatus::kCut || status == RenderStatus::kNoPicture) && file.Seek(0)) {
    cals::conformance::FileSource again(file);
    const cals::conformance::FileReport report = cals::conformance::CheckFile(again);
    std::copy_if(report.findings.begin(), report.findings.end(), std::back_inserter(rendered.errors),
                 [](const cals::conformance::Finding& f) { return f.severity == cals::conformance::Severity::kError; });
  }
  return rendered;
}

}  // namespace calsvar::picture
