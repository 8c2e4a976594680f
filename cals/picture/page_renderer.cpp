#include "cals/picture/page_renderer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "cals/conformance/header_rules.h"
#include "cals/header_layout.h"
#include "cals/picture/area_scaler.h"
#include "cals/picture/bilevel_painter.h"
#include "cals/picture/orientation.h"
#include "cals/picture/oriented_page.h"

namespace cals::picture {
namespace {

using conformance::ByteSource;
using conformance::LineOutcome;

// The raster behind the header: what was read with the header first, then
// the file's own pieces.
class RasterSource final : public ByteSource {
 public:
  RasterSource(std::span<const std::uint8_t> first, ByteSource& file) : first_(first), file_(file) {}
  std::span<const std::uint8_t> Next() override {
    const std::span<const std::uint8_t> piece = first_;
    first_ = {};
    return piece.empty() ? file_.Next() : piece;
  }

 private:
  std::span<const std::uint8_t> first_;
  ByteSource& file_;
};

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

// Decodes the stored lines into `lines`, then hatches what did not come.
void Decode(ByteSource& raster, std::int32_t width, std::int32_t height, LineRenderer& lines, RenderResult& result) {
  conformance::Group4Decoder decoder(raster, width);
  result.status = RenderStatus::kWhole;
  while (result.linesDecoded < height) {
    const LineOutcome outcome = decoder.DecodeLine();
    if (outcome != LineOutcome::kDecoded) {
      result.status = lines.HatchRest() ? RenderStatus::kCut : RenderStatus::kSinkFailed;
      result.stop = outcome;
      result.problem = decoder.Problem();
      return;
    }
    ++result.linesDecoded;
    if (!lines.AddLine(decoder.Changes())) {
      result.status = RenderStatus::kSinkFailed;
      return;
    }
  }
}

}  // namespace

RenderResult RenderPage(ByteSource& file, const RenderOptions& options, PageSink& sink) {
  RenderResult result;
  std::array<std::uint8_t, kHeaderSize> header{};
  std::size_t have = 0;
  std::span<const std::uint8_t> piece;  // what the last read brought past the header
  while (have < header.size()) {
    piece = file.Next();
    if (piece.empty()) return result;  // shorter than a header
    const std::size_t take = std::min(piece.size(), header.size() - have);
    std::copy_n(piece.begin(), take, header.begin() + static_cast<std::ptrdiff_t>(have));
    have += take;
    piece = piece.subspan(take);
  }
  const conformance::HeaderReport checked = conformance::CheckHeader(header);
  result.rorient = checked.rorient;
  if (!checked.width || !checked.height) return result;
  const std::int32_t width = *checked.width;
  const std::int32_t height = *checked.height;
  result.storedWidth = width;
  result.storedHeight = height;

  Orientation orientation;
  if (const std::optional<Orientation> parsed = ParseOrientation(checked.rorient)) {
    orientation = *parsed;
    result.turned = true;
  } else if (!checked.rorient.empty()) {
    result.note = ShownAsStored(checked.rorient);
  }
  const PageLayout page(orientation, width, height);
  result.pageWidth = page.width();
  result.pageHeight = page.height();
  const bool scaled = options.maxWidth > 0 || options.maxHeight > 0;
  const PelFormat format = scaled ? PelFormat::kGrey : PelFormat::kBilevel;
  const Size shown = scaled ? Fitted({page.width(), page.height()}, options) : Size{page.width(), page.height()};
  // The rendered page as it is stored, before it is turned.
  const Size stored = page.Transposed() ? Size{shown.height, shown.width} : shown;
  const auto pels = static_cast<std::uint64_t>(shown.width) * static_cast<std::uint64_t>(shown.height);
  if (shown.width > INT32_MAX || shown.height > INT32_MAX || pels > kMaxRenderedPels) {
    result.status = RenderStatus::kTooLarge;
    result.note = "the page would have " + std::to_string(shown.width) + " x " + std::to_string(shown.height) +
                  " pels, more than can be rendered: give a smaller width";
    return result;
  }
  const auto storedWidth = static_cast<std::int32_t>(stored.width);
  const auto storedHeight = static_cast<std::int32_t>(stored.height);
  if (const std::uint64_t held = OrientedPage::HeldBytes(orientation, storedWidth, storedHeight, format);
      held > kMaxHeldBytes) {
    result.status = RenderStatus::kTooLarge;
    result.note = "turning the page as rorient says would hold " + std::to_string(held >> 20) +
                  " MiB, more than the " + std::to_string(kMaxHeldBytes >> 20) + " MiB allowed: give a smaller width";
    return result;
  }
  result.width = static_cast<std::int32_t>(shown.width);
  result.height = static_cast<std::int32_t>(shown.height);

  OrientedPage oriented(orientation, sink);
  oriented.Start(storedWidth, storedHeight, format);
  std::unique_ptr<LineRenderer> lines;
  if (scaled) {
    lines = std::make_unique<AreaScaler>(width, height, storedWidth, storedHeight, oriented);
  } else {
    lines = std::make_unique<BilevelPainter>(width, height, oriented);
  }
  RasterSource raster(piece, file);
  Decode(raster, width, height, *lines, result);
  if (result.status != RenderStatus::kSinkFailed && !oriented.Finish()) result.status = RenderStatus::kSinkFailed;
  return result;
}

}  // namespace cals::picture
