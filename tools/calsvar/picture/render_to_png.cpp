#include "tools/calsvar/picture/render_to_png.h"

#include "cals/conformance/byte_source.h"
#include "cals/picture/page_drawing.h"
#include "tools/calsvar/picture/png_page_sink.h"

namespace calsvar::picture {

using cals::picture::RenderStatus;

CheckedPage CheckAndDraw(cals::conformance::ByteSource& file, const cals::picture::RenderOptions& options,
                         cals::picture::PageSink& page) {
  CheckedPage checked;
  cals::picture::PageDrawing drawing(options, page);
  checked.check = cals::conformance::CheckFile(file, &drawing);
  checked.render = drawing.Finish();
  return checked;
}

RenderedFile RenderToPng(cals::OpenFile& file, const cals::picture::RenderOptions& options, ByteSink& png) {
  RenderedFile rendered;
  if (!file.Seek(0)) return rendered;
  cals::conformance::FileSource source(file);
  // A scaled page is a thumbnail, one of thousands.
  const bool scaled = options.maxWidth > 0 || options.maxHeight > 0;
  PngPageSink sink(png, scaled ? PngCompression::kFast : PngCompression::kSmall);
  CheckedPage checked = CheckAndDraw(source, options, sink);
  rendered.render = std::move(checked.render);
  rendered.check = std::move(checked.check);
  const RenderStatus status = rendered.render.status;
  rendered.written = (status == RenderStatus::kWhole || status == RenderStatus::kCut) && sink.Finish();
  return rendered;
}

}  // namespace calsvar::picture
