#include "tests/support/cals_readers.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testing_support {
namespace {

namespace fs = std::filesystem;

bool Found(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// Debian's ImageMagick 6 under its own name, so that no other program
// called convert on the path stands in for it.
const std::string& Convert() {
  static const std::string convert = Found("convert-im6.q16") ? "convert-im6.q16" : "convert";
  return convert;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A binary PGM (P5, maxval 255): dark values are black pels.
std::optional<Picture> ParsePgm(const std::string& bytes) {
  std::size_t pos = 0;
  const auto token = [&]() -> std::string {
    while (pos < bytes.size()) {
      if (bytes[pos] == '#') {
        while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
      } else if (std::isspace(static_cast<unsigned char>(bytes[pos]))) {
        ++pos;
      } else {
        break;
      }
    }
    const std::size_t start = pos;
    while (pos < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[pos]))) ++pos;
    return bytes.substr(start, pos - start);
  };
  if (token() != "P5") return std::nullopt;
  Picture picture;
  picture.width = std::atoi(token().c_str());
  picture.height = std::atoi(token().c_str());
  if (token() != "255" || picture.width <= 0 || picture.height <= 0) return std::nullopt;
  ++pos;  // the one white-space byte before the samples
  const auto count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  if (bytes.size() < pos + count) return std::nullopt;
  for (std::size_t i = 0; i < count; ++i) {
    picture.pels.push_back(static_cast<unsigned char>(bytes[pos + i]) < 128 ? 1 : 0);
  }
  return picture;
}

void WritePgm(const Picture& picture, const fs::path& file, std::uint8_t white, std::uint8_t black) {
  std::ofstream out(file, std::ios::binary);
  out << "P5\n" << picture.width << " " << picture.height << "\n255\n";
  for (const std::uint8_t pel : picture.pels) out.put(static_cast<char>(pel != 0 ? black : white));
}

}  // namespace

CalsPrograms::CalsPrograms() {
  static std::atomic<int> serial{0};
  folder_ = fs::temp_directory_path() /
            ("mirotex-readers-" + std::to_string(getpid()) + "-" + std::to_string(serial.fetch_add(1)));
  fs::create_directories(folder_);
}

CalsPrograms::~CalsPrograms() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

bool CalsPrograms::Installed() {
  static const bool installed = Found("gdal_translate") && Found(Convert().c_str());
  return installed;
}

bool CalsPrograms::Run(const std::string& command, std::string& firstErrorLine) {
  const fs::path errors = folder_ / "stderr.txt";
  const int status = std::system((command + " 2>" + Quoted(errors) + " >/dev/null").c_str());
  std::istringstream lines(ReadAll(errors));
  std::getline(lines, firstErrorLine);
  return status == 0;
}

Reading CalsPrograms::ReadPgm(const fs::path& pgm, bool ok, std::string message) {
  Reading reading;
  reading.message = std::move(message);
  if (ok) reading.picture = ParsePgm(ReadAll(pgm));
  std::error_code ignored;
  fs::remove(pgm, ignored);
  return reading;
}

Reading CalsPrograms::ReadWithImageMagick(const fs::path& calsFile) {
  const fs::path pgm = folder_ / "imagemagick.pgm";
  std::string message;
  const bool ok = Run(Convert() + " " + Quoted("cals:" + calsFile.string()) + " -depth 8 " + Quoted("pgm:" + pgm.string()),
                      message);
  return ReadPgm(pgm, ok, std::move(message));
}

Reading CalsPrograms::ReadWithGdal(const fs::path& calsFile) {
  const fs::path pgm = folder_ / "gdal.pgm";
  std::string message;
  const bool ok =
      Run("gdal_translate -q -of PNM -expand gray " + Quoted(calsFile) + " " + Quoted(pgm), message);
  fs::remove(folder_ / "gdal.pgm.aux.xml");
  return ReadPgm(pgm, ok, std::move(message));
}

bool CalsPrograms::WriteWithImageMagick(const Picture& picture, const fs::path& calsFile) {
  const fs::path pgm = folder_ / "to-imagemagick.pgm";
  WritePgm(picture, pgm, 255, 0);
  std::string message;
  return Run(Convert() + " " + Quoted(pgm) + " -monochrome " + Quoted("cals:" + calsFile.string()), message);
}

bool CalsPrograms::WriteWithGdal(const Picture& picture, const fs::path& calsFile) {
  // The CALS driver takes the values as bits: 1 white, 0 black.
  const fs::path pgm = folder_ / "to-gdal.pgm";
  WritePgm(picture, pgm, 1, 0);
  std::string message;
  return Run("gdal_translate -q -of CALS " + Quoted(pgm) + " " + Quoted(calsFile), message);
}

}  // namespace testing_support
