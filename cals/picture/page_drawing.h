// A page drawn from the lines of a raster as they are decoded: by the check
// (CheckFile hands them over, so that calsvar render and report decode each
// file once) or by RenderPage. Turned as rorient says, at full size (one
// bit per pel) or scaled by area averaging to grey, into a page sink.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "cals/conformance/file_check.h"
#include "cals/picture/line_renderer.h"
#include "cals/picture/oriented_page.h"
#include "cals/picture/page_renderer.h"
#include "cals/picture/page_sink.h"

namespace cals::picture {

class PageDrawing final : public conformance::RasterLines {
 public:
  PageDrawing(const RenderOptions& options, PageSink& sink) : options_(options), sink_(sink) {}

  // The stored raster's size and rorient: starts the sink, unless the
  // page is too large to render (status() then says so; lines are ignored).
  void Begin(std::int32_t width, std::int32_t height, const std::string& rorient) override;
  void Line(std::span<const std::int32_t> changes) override;

  // kNoPicture before Begin, kWhole while every line may still come.
  RenderStatus status() const { return result_.status; }

  // After the last line that came: hatches the lines that did not and hands
  // a turned page out. The result's stop and problem are the caller's.
  RenderResult Finish();

 private:
  RenderOptions options_;
  PageSink& sink_;
  RenderResult result_;
  std::unique_ptr<OrientedPage> oriented_;
  std::unique_ptr<LineRenderer> lines_;
};

}  // namespace cals::picture
