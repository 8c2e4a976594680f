// What the Python tests of pictures and report pages drive, natively:
//   picture_probe pattern OUT.png WIDTH HEIGHT bilevel|grey
//       a page whose pels the test computes itself (see picture_files_test.py)
//   picture_probe render FILE OUT.png [WIDTH [HEIGHT]]
//       FILE rendered at full size, or fitted in WIDTH x HEIGHT (0: no
//       limit); prints "STATUS WIDTH HEIGHT LINES-DECODED"; exit 0 whole,
//       1 not whole (the check's errors on stderr), 3 not written
//   picture_probe report OUTDIR [--single-file] FILE...
//       OUTDIR/index.html over FILE... with thumbnails (and larger pictures)
//       in OUTDIR/thumbs, or inside the page; header variables taken
//       straight from the records, as the plug-in would show them
// ASCII paths only.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/file_check.h"
#include "cals/std_file_opener.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/picture/png_writer.h"
#include "tools/calsvar/picture/render_to_png.h"
#include "tools/calsvar/report/html_text.h"
#include "tools/calsvar/report/report_page.h"

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
  for (const auto& error : rendered.errors) std::fprintf(stderr, "%s\n", cals::conformance::FindingText(error).c_str());
  if (!rendered.render.note.empty()) std::fprintf(stderr, "%s\n", rendered.render.note.c_str());
  if (!rendered.written || !sink.Close()) return 3;
  return rendered.render.status == cals::picture::RenderStatus::kWhole ? 0 : 1;
}

// "name: value" of the first eleven records, trimmed.
std::vector<std::pair<std::string, std::string>> Records(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string header(2048, ' ');
  in.read(header.data(), 2048);
  std::vector<std::pair<std::string, std::string>> records;
  const auto trim = [](std::string text) {
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
  };
  for (int r = 0; r < 11; ++r) {
    const std::string record = header.substr(static_cast<std::size_t>(r) * 128, 128);
    const std::size_t colon = record.find(':');
    if (colon != std::string::npos) records.emplace_back(trim(record.substr(0, colon)), trim(record.substr(colon + 1)));
  }
  return records;
}

int Report(const fs::path& dir, bool singleFile, const std::vector<std::string>& files) {
  fs::create_directories(dir / "thumbs");
  std::vector<calsvar::report::ReportRow> rows;
  for (std::size_t i = 0; i < files.size(); ++i) {
    calsvar::report::ReportRow row;
    row.path = files[i];
    row.variables = Records(files[i]);
    const std::unique_ptr<cals::OpenFile> in = Open(files[i]);
    cals::conformance::FileSource source(*in);
    const cals::conformance::FileReport report = cals::conformance::CheckFile(source);
    row.verdict = calsvar::VerdictOf(report);
    row.findings = report.findings;
    in->Seek(0);
    MemorySink thumbnail;
    const calsvar::picture::RenderedFile rendered = calsvar::picture::RenderToPng(*in, {200, 200}, thumbnail);
    if (rendered.written) {
      const std::string name = "thumbs/" + std::to_string(i + 1);
      row.thumbnailWidth = rendered.render.width;
      row.thumbnailHeight = rendered.render.height;
      row.size = calsvar::report::PageSize{rendered.render.pageWidth, rendered.render.pageHeight, std::nullopt};
      for (const auto& [key, value] : row.variables) {
        if (key == "rdensty") row.size->dpi = std::atoi(value.c_str());
      }
      if (singleFile) {
        row.thumbnail = calsvar::report::DataUrl("image/png", thumbnail.bytes());
      } else {
        row.thumbnail = name + ".png";
        std::ofstream(dir / row.thumbnail, std::ios::binary)
            .write(reinterpret_cast<const char*>(thumbnail.bytes().data()),
                   static_cast<std::streamsize>(thumbnail.bytes().size()));
        row.largerPicture = name + "-larger.png";
        in->Seek(0);
        FileSink larger = Output(dir / row.largerPicture);
        calsvar::picture::RenderToPng(*in, {1000, 1000}, larger);
      }
    }
    rows.push_back(std::move(row));
  }
  std::ofstream(dir / "index.html", std::ios::binary) << calsvar::report::ReportPage({"in the test", {"samples"}}, rows);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 5 && args[0] == "pattern") return Pattern(args[1], std::stoi(args[2]), std::stoi(args[3]), args[4]);
    if (args.size() >= 3 && args.size() <= 5 && args[0] == "render") {
      return Render(args[1], args[2], args.size() > 3 ? std::stoi(args[3]) : 0, args.size() > 4 ? std::stoi(args[4]) : 0);
    }
    if (args.size() >= 3 && args[0] == "report") {
      const bool single = args[2] == "--single-file";
      return Report(args[1], single, std::vector<std::string>(args.begin() + (single ? 3 : 2), args.end()));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "picture_probe: %s\n", error.what());
    return 3;
  }
  std::fprintf(stderr, "usage: see tests/tools/picture_probe.cpp\n");
  return 2;
}
