// calsvar check on any file: header rules and raster decode together. Every
// finding must be printable ASCII text but for the ellipsis of cut quotes
// (it is printed and put into JSON as it is), name a record from 1 to 16 and an offset inside the file, and
// the decode must stop at the height rpelcnt claims.
#include <cstdint>
#include <span>
#include <string_view>

#include "cals/conformance/file_check.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small pieces, so that the header and the raster straddle them.
  class PieceSource final : public cals::conformance::ByteSource {
   public:
    explicit PieceSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::span<const std::uint8_t> Next() override {
      const std::span<const std::uint8_t> piece = bytes_.first(std::min<std::size_t>(bytes_.size(), 333));
      bytes_ = bytes_.subspan(piece.size());
      return piece;
    }

   private:
    std::span<const std::uint8_t> bytes_;
  } source(std::span<const std::uint8_t>(data, size));

  const cals::conformance::FileReport report = cals::conformance::CheckFile(source);
  FUZZ_CHECK(report.fileSize == size);
  FUZZ_CHECK(report.linesDecoded <= report.height.value_or(0));
  for (const cals::conformance::Finding& finding : report.findings) {
    FUZZ_CHECK(!finding.message.empty());
    // Printable ASCII, and the ellipsis (UTF-8) where quoted text is cut.
    const std::string_view ellipsis = "\u2026";
    for (std::size_t i = 0; i < finding.message.size(); ++i) {
      if (std::string_view(finding.message).substr(i).starts_with(ellipsis)) {
        i += ellipsis.size() - 1;
        continue;
      }
      FUZZ_CHECK(finding.message[i] >= 0x20 && finding.message[i] < 0x7F);
    }
    FUZZ_CHECK(!finding.record || (*finding.record >= 1 && *finding.record <= 16));
    FUZZ_CHECK(!finding.offset || (*finding.offset >= 0 && static_cast<std::uint64_t>(*finding.offset) <= size));
  }
  return 0;
}
