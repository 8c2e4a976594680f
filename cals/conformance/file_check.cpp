#include "cals/conformance/file_check.h"

#include <algorithm>
#include <array>
#include <span>

#include "cals/conformance/group4_decoder.h"
#include "cals/conformance/header_rules.h"
#include "cals/header_layout.h"

namespace cals::conformance {
namespace {

// The rest of the file behind the header: what was read with the header
// first, then the file's own pieces; counts every byte handed out.
class RasterSource final : public ByteSource {
 public:
  RasterSource(std::span<const std::uint8_t> first, ByteSource& file) : first_(first), file_(file) {}
  std::span<const std::uint8_t> Next() override {
    std::span<const std::uint8_t> piece = first_;
    first_ = {};
    if (piece.empty()) piece = file_.Next();
    handedOut_ += piece.size();
    return piece;
  }
  std::uint64_t handedOut() const { return handedOut_; }

 private:
  std::span<const std::uint8_t> first_;
  ByteSource& file_;
  std::uint64_t handedOut_ = 0;
};

std::string Count(std::uint64_t n, const char* unit) {
  return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

class RasterChecker {
 public:
  RasterChecker(FileReport& report, const std::string& rorient) : report_(report), rorient_(rorient) {}

  void Run(RasterSource& source) {
    const std::int32_t width = *report_.width;
    const std::int64_t height = *report_.height;
    Group4Decoder decoder(source, width);
    while (report_.linesDecoded < height) {
      const LineOutcome outcome = decoder.DecodeLine();
      if (outcome == LineOutcome::kDecoded) {
        ++report_.linesDecoded;
        continue;
      }
      const std::int64_t done = report_.linesDecoded;
      if (outcome == LineOutcome::kDataEnds && source.handedOut() == 0) {
        Add(Severity::kError, "no raster after the header", static_cast<std::int64_t>(kHeaderSize), std::nullopt);
      } else if (outcome == LineOutcome::kDataEnds) {
        Add(Severity::kError,
            "raster ends after line " + std::to_string(done) + " of " + std::to_string(height) +
                ": the file was probably cut" + DecodedAs(),
            static_cast<std::int64_t>(kHeaderSize + source.handedOut()), done);
      } else if (outcome == LineOutcome::kEndOfBlock) {
        Add(Severity::kError,
            "the end-of-block code comes after line " + std::to_string(done) + " of " + std::to_string(height) +
                ": the raster has fewer lines than rpelcnt says" + DecodedAs(),
            Offset(decoder), done);
      } else {
        Add(Severity::kError,
            "a code that is not valid at line " + std::to_string(done + 1) + " of " + std::to_string(height) + ", pel " +
                std::to_string(decoder.ProblemPel()) + ": " + decoder.Problem() + DecodedAs(),
            static_cast<std::int64_t>(kHeaderSize + decoder.ProblemBit() / 8), done + 1);
      }
      return;
    }
    switch (decoder.ReadEndOfBlock()) {
      case TailOutcome::kEndOfBlock: {
        const std::int64_t end = Offset(decoder);
        const TrailingBytes trailing = decoder.CountTrailingBytes();
        if (trailing.count > 0) {
          Add(Severity::kWarning,
              Count(trailing.count, "byte") + (trailing.allZero ? " of zeros" : " of data") +
                  " after the end-of-block code",
              end + 1, std::nullopt);
        }
        break;
      }
      case TailOutcome::kCutEndOfBlock:
        Add(Severity::kWarning, "the end-of-block code is cut short: the file was probably cut at its very end",
            Offset(decoder), std::nullopt);
        break;
      case TailOutcome::kNothing:
        Add(Severity::kWarning, "no end-of-block code after the last line", Offset(decoder), std::nullopt);
        break;
      case TailOutcome::kOtherData:
        Add(Severity::kWarning,
            "data after line " + std::to_string(height) +
                " that is not an end-of-block code: the raster may have more lines than rpelcnt says" + DecodedAs(),
            Offset(decoder), std::nullopt);
        break;
    }
  }

 private:
  // Which size the raster was decoded against, and that the rotation plays
  // no part in it.
  std::string DecodedAs() const {
    std::string text = " (decoded as " + std::to_string(*report_.height) + " lines of " +
                       std::to_string(*report_.width) + " pels, as rpelcnt gives them";
    if (!rorient_.empty() && rorient_ != "000,270") text += "; rorient " + rorient_ + " turns the picture only for display";
    return text + ")";
  }

  static std::int64_t Offset(const Group4Decoder& decoder) {
    return static_cast<std::int64_t>(kHeaderSize + decoder.BitsRead() / 8);
  }

  void Add(Severity severity, std::string message, std::int64_t offset, std::optional<std::int64_t> line) {
    report_.findings.push_back(Finding{severity, std::move(message), std::nullopt, offset, line});
  }

  FileReport& report_;
  const std::string& rorient_;
};

}  // namespace

FileReport CheckFile(ByteSource& file) {
  FileReport report;
  std::array<std::uint8_t, kHeaderSize> header{};
  std::size_t have = 0;
  std::span<const std::uint8_t> piece;
  while (have < header.size()) {
    piece = file.Next();
    if (piece.empty()) break;
    const std::size_t take = std::min(piece.size(), header.size() - have);
    std::copy_n(piece.begin(), take, header.begin() + static_cast<std::ptrdiff_t>(have));
    have += take;
    piece = piece.subspan(take);
  }
  if (have < header.size()) {
    // Not a CALS file at all; its records would only add noise.
    report.fileSize = have;
    report.findings.push_back(Finding{Severity::kError,
                                      "the file has " + Count(have, "byte") + ", fewer than the 2048 of a header",
                                      std::nullopt, static_cast<std::int64_t>(have), std::nullopt});
    return report;
  }
  HeaderReport checked = CheckHeader(header);
  report.findings = std::move(checked.findings);
  report.width = checked.width;
  report.height = checked.height;

  RasterSource raster(piece, file);
  if (!report.width || !report.height) {
    // Nothing to decode against; the rpelcnt finding says why.
    while (!raster.Next().empty()) {
    }
    report.fileSize = kHeaderSize + raster.handedOut();
    return report;
  }
  RasterChecker checker(report, checked.rorient);
  checker.Run(raster);
  while (!raster.Next().empty()) {
  }
  report.fileSize = kHeaderSize + raster.handedOut();
  return report;
}

}  // namespace cals::conformance
