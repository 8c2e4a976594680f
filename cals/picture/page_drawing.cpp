#include "cals/picture/page_drawing.h"

#include <algorithm>
#include <optional>

#include "cals/picture/area_scaler.h"
#include "cals/picture/bilevel_painter.h"
#include "cals/picture/orientation.h"

namespace cals::picture {
namespace {

struct Size {
  std::int64_t width;
  std::int64_t height;
};

// Fits `page` in the box (0: no limit that way), proportions kept, at
// least one pel each way.
Size Fitted(Size page, const RenderOptions& options) {
  const std::int64_t boxWidth = options.maxWidth;
  const std::int64_t boxHeight = options.maxHeight;
  const bool byWidth = boxHeight == 0 || (boxWidth != 0 && boxWidth * page.height <= boxHeight * page.width);
  if (byWidth) return {boxWidth, std::max<std::int64_t>(1, (page.height * boxWidth + page.width / 2) / page.width)};
  return {std::max<std::int64_t>(1, (page.width * boxHeight + page.height / 2) / page.height), boxHeight};
}

std::string ShownAsStored(const std::string& rorient) {
  return "rorient \"" + rorient +
         "\" is not one of the eight orientations the standard allows (pel path 000, 090, 180 or 270; line "
         "progression 090 or 270): the page is shown as stored";
}

}  // namespace

void PageDrawing::Begin(std::int32_t width, std::int32_t height, const std::string& rorient) {
  result_ = RenderResult{};
  result_.rorient = rorient;
  result_.storedWidth = width;
  result_.storedHeight = height;
  Orientation orientation;
  if (const std::optional<Orientation> parsed = ParseOrientation(rorient)) {
    orientation = *parsed;
    result_.turned = true;
  } else if (!rorient.empty()) {
    result_.note = ShownAsStored(rorient);
  }
  const PageLayout page(orientation, width, height);
  result_.pageWidth = page.width();
  result_.pageHeight = page.height();
  const bool scaled = options_.maxWidth > 0 || options_.maxHeight > 0;
  const PelFormat format = scaled ? PelFormat::kGrey : PelFormat::kBilevel;
  const Size shown = scaled ? Fitted({page.width(), page.height()}, options_) : Size{page.width(), page.height()};
  // The rendered page as it is stored, before it is turned.
  const Size stored = page.Transposed() ? Size{shown.height, shown.width} : shown;
  const auto pels = static_cast<std::uint64_t>(shown.width) * static_cast<std::uint64_t>(shown.height);
  if (shown.width > INT32_MAX || shown.height > INT32_MAX || pels > kMaxRenderedPels) {
    result_.status = RenderStatus::kTooLarge;
    result_.note = "the page would have " + std::to_string(shown.width) + " x " + std::to_string(shown.height) +
                   " pels, more than can be rendered: give a smaller width";
    return;
  }
  const auto storedWidth = static_cast<std::int32_t>(stored.width);
  const auto storedHeight = static_cast<std::int32_t>(stored.height);
  if (const std::uint64_t held = OrientedPage::HeldBytes(orientation, storedWidth, storedHeight, format);
      held > kMaxHeldBytes) {
    result_.status = RenderStatus::kTooLarge;
    result_.note = "turning the page as rorient says would hold " + std::to_string(held >> 20) +
                   " MiB, more than the " + std::to_string(kMaxHeldBytes >> 20) + " MiB allowed: give a smaller width";
    return;
  }
  result_.width = static_cast<std::int32_t>(shown.width);
  result_.height = static_cast<std::int32_t>(shown.height);
  result_.status = RenderStatus::kWhole;
  oriented_ = std::make_unique<OrientedPage>(orientation, sink_);
  oriented_->Start(storedWidth, storedHeight, format);
  if (scaled) {
    lines_ = std::make_unique<AreaScaler>(width, height, storedWidth, storedHeight, *oriented_);
  } else {
    lines_ = std::make_unique<BilevelPainter>(width, height, *oriented_);
  }
}

void PageDrawing::Line(std::span<const std::int32_t> changes) {
  if (result_.status != RenderStatus::kWhole || result_.linesDecoded >= result_.storedHeight) return;
  ++result_.linesDecoded;
  if (!lines_->AddLine(changes)) result_.status = RenderStatus::kSinkFailed;
}

RenderResult PageDrawing::Finish() {
  if (result_.status != RenderStatus::kWhole) return result_;
  if (result_.linesDecoded < result_.storedHeight) {
    result_.status = lines_->HatchRest() ? RenderStatus::kCut : RenderStatus::kSinkFailed;
  }
  if (result_.status != RenderStatus::kSinkFailed && !oriented_->Finish()) result_.status = RenderStatus::kSinkFailed;
  return result_;
}

}  // namespace cals::picture
