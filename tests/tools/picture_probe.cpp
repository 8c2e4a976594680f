// What the Python test of pictures drives, natively:
//   picture_probe pattern OUT.png WIDTH HEIGHT bilevel|grey
//       a page whose pels the test computes itself (see picture_files_test.py)
//   picture_probe render FILE OUT.png [WIDTH [HEIGHT]]
//       FILE rendered at full size, or fitted in WIDTH x HEIGHT (0: no
//       limit); prints "STATUS WIDTH HEIGHT LINES-DECODED"; exit 0 whole,
//       1 not whole (the check's errors on stderr), 3 not written
// ASCII paths only.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/file_check.h"
#include "cals/std_file_opener.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/picture/png_writer.h"
#include "tools/calsvar/picture/render_to_png.h"

namespace fs = std::filesystem;
using calsvar::picture::FileSink;
using calsvar::picture::MemorySink;
using cals::picture::PelFormat;

namespace {

std::u16string Wide(const std::string& text) { return {text.begin(), text.end()}; }

std::unique_ptr<cals::OpenFile> Open(const std::string& path) {
  cals::StdFileOpener opener;
  std::unique_ptr<cals::OpenFile> file = opener.OpenForRead(Wide(path));
  if (!file) throw std::runtime_error(path + ": cannot be read");
  return file;
}

FileSink Output(const fs::path& path) {
  return FileSink([path] { return std::fopen(path.string().c_str(), "wb"); });
}

int Pattern(const fs::path& out, int width, int height, const std::string& kind) {
  const PelFormat format = kind == "bilevel" ? PelFormat::kBilevel : PelFormat::kGrey;
  FileSink sink = Output(out);
  calsvar::picture::PngWriter png(sink, width, height, format);
  std::vector<std::uint8_t> row(cals::picture::RowBytes(width, format));
  for (int y = 0; y < height; ++y) {
    std::fill(row.begin(), row.end(), std::uint8_t{0});
    for (int x = 0; x < width; ++x) {
      if (format == PelFormat::kGrey) {
        // Hashed, so that deflate cannot shrink it much.
        const std::uint32_t hash = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u;
        row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(hash >> 13);
      } else if ((x * 3 + y * 5) % 7 >= 3) {  // white
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
      }
    }
    png.WriteRow(row);
  }
  return png.Finish() && sink.Close() ? 0 : 3;
}

int Render(const std::string& file, const fs::path& out, int width, int height) {
  const std::unique_ptr<cals::OpenFile> in = Open(file);
  FileSink sink = Output(out);
  const calsvar::picture::RenderedFile rendered = calsvar::picture::RenderToPng(*in, {width, height}, sink);
  static constexpr const char* kStatus[] = {"whole", "cut", "no-picture", "too-large", "sink-failed"};
  std::printf("%s %d %d %lld\n", kStatus[static_cast<int>(rendered.render.status)], rendered.render.width,
              rendered.render.height, static_cast<long long>(rendered.render.linesDecoded));
  if (rendered.render.status != cals::picture::RenderStatus::kWhole) {
    for (const auto& finding : rendered.check.findings) {
      if (finding.severity == cals::conformance::Severity::kError) {
        std::fprintf(stderr, "%s\n", cals::conformance::FindingText(finding).c_str());
      }
    }
  }
  if (!rendered.render.note.empty()) std::fprintf(stderr, "%s\n", rendered.render.note.c_str());
  if (!rendered.written || !sink.Close()) return 3;
  return rendered.render.status == cals::picture::RenderStatus::kWhole ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 5 && args[0] == "pattern") return Pattern(args[1], std::stoi(args[2]), std::stoi(args[3]), args[4]);
    if (args.size() >= 3 && args.size() <= 5 && args[0] == "render") {
      return Render(args[1], args[2], args.size() > 3 ? std::stoi(args[3]) : 0, args.size() > 4 ? std::stoi(args[4]) : 0);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "picture_probe: %s\n", error.what());
    return 3;
  }
  std::fprintf(stderr, "usage: see tests/tools/picture_probe.cpp\n");
  return 2;
}
