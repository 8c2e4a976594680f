#include "cals/conformance/file_check.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

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

// Files of other formats, known by their first bytes, that reach the check
// under a CALS name: a scan saved as TIFF or PDF and renamed, say. A CALS
// file begins with text.
struct Signature {
  std::string_view bytes;
  std::size_t at;  // where they lie
  const char* format;
};

constexpr std::string_view Bytes(const char* text, std::size_t size) { return {text, size}; }

constexpr Signature kSignatures[] = {
    {Bytes("II*\0", 4), 0, "TIFF"},         {Bytes("MM\0*", 4), 0, "TIFF"},
    {Bytes("II+\0", 4), 0, "TIFF"},         {Bytes("MM\0+", 4), 0, "TIFF"},  // BigTIFF
    {Bytes("\x89PNG\r\n\x1A\n", 8), 0, "PNG"}, {Bytes("%PDF-", 5), 0, "PDF"},
    {Bytes("\xFF\xD8\xFF", 3), 0, "JPEG"},   {Bytes("GIF87a", 6), 0, "GIF"},
    {Bytes("GIF89a", 6), 0, "GIF"},           {Bytes("PK\x03\x04", 4), 0, "ZIP"},
    {Bytes("PK\x05\x06", 4), 0, "ZIP"},      // an empty archive
    {Bytes("BM", 2), 0, "BMP"},               // with the two reserved words zero, below
};

// The format whose signature `head` begins with, or none.
const char* FormatOf(std::span<const std::uint8_t> head) {
  const std::string_view text(reinterpret_cast<const char*>(head.data()), head.size());
  for (const Signature& signature : kSignatures) {
    if (text.substr(std::min(signature.at, text.size())).starts_with(signature.bytes)) {
      const bool bmp = std::string_view(signature.format) == "BMP";
      if (bmp && (text.size() < 10 || text.substr(6, 4) != std::string_view("\0\0\0\0", 4))) continue;
      return signature.format;
    }
  }
  return nullptr;
}

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
    std::string text = " (decoded as " + Count(static_cast<std::uint64_t>(*report_.height), "line") + " of " +
                       Count(static_cast<std::uint64_t>(*report_.width), "pel") + ", as rpelcnt gives them";
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
  if (const char* format = FormatOf(std::span<const std::uint8_t>(header).first(have))) {
    // One finding: its bytes judged as records would only be noise.
    report.findings.push_back(Finding{Severity::kError, std::string("a ") + format + " file, not a CALS file",
                                      std::nullopt, std::nullopt, std::nullopt});
    RasterSource rest(piece, file);
    while (!rest.Next().empty()) {
    }
    report.fileSize = have + rest.handedOut();
    return report;
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
