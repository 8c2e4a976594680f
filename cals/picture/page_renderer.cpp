#include "cals/picture/page_renderer.h"

#include <algorithm>
#include <array>

#include "cals/conformance/header_rules.h"
#include "cals/header_layout.h"
#include "cals/picture/page_drawing.h"

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

  PageDrawing drawing(options, sink);
  drawing.Begin(*checked.width, *checked.height, checked.rorient);
  if (drawing.status() != RenderStatus::kWhole) return drawing.Finish();
  RasterSource raster(piece, file);
  conformance::Group4Decoder decoder(raster, *checked.width);
  LineOutcome outcome = LineOutcome::kDecoded;
  for (std::int64_t line = 0; line < *checked.height && drawing.status() == RenderStatus::kWhole; ++line) {
    outcome = decoder.DecodeLine();
    if (outcome != LineOutcome::kDecoded) break;
    drawing.Line(decoder.Changes());
  }
  result = drawing.Finish();
  if (result.status == RenderStatus::kCut) {
    result.stop = outcome;
    result.problem = outcome == LineOutcome::kInvalid ? decoder.Problem() : std::string();
  }
  return result;
}

}  // namespace cals::picture
