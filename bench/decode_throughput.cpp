// Decode throughput of the raster check's Group 4 decoder against libtiff,
// natively, on the same pages: the six pictures of the benchmark corpus,
// coded once by the sample generator.
//
//   decode_throughput [--seconds S] [--rounds N]
//
// Each decoder decodes each page again and again for about S seconds (0.5
// by default), N rounds (5) taken in turn, and the median round counts.
// Three ways are timed:
//   changes  - the check's own decode: changing elements only, no pels;
//   packed   - the same, then the pels written as packed bits, as libtiff
//              hands them out;
//   libtiff  - TIFFReadEncodedStrip on the page held as a one-strip TIFF in
//              memory.
// Prints a Markdown table in megapixels per second; every pass is checked
// against libtiff's pels, so a fast wrong decoder cannot pass.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "cals/conformance/group4_decoder.h"
#include "tests/support/libtiff_group4.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Page {
  std::string name;
  int width;
  int height;
  std::vector<std::uint8_t> data;
};

std::vector<Page> Pages() {
  std::vector<Page> pages;
  const auto add = [&](std::string name, const samples::Bitmap& picture) {
    pages.push_back({std::move(name), picture.width(), picture.height(), samples::EncodeGroup4(picture)});
  };
  add("A4 drawing", samples::A4Drawing());
  add("blank page", samples::Bitmap(1728, 2200));
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{1200, 800}, std::pair{2480, 1748}, std::pair{3508, 2480}}) {
    add("scan", samples::SmallScan(w, h));
  }
  return pages;
}

// One row's pels as packed bits, first pel in the top bit.
void PackRow(std::span<const std::int32_t> changes, int width, std::uint8_t* row) {
  std::memset(row, 0, (static_cast<std::size_t>(width) + 7) / 8);
  for (std::size_t i = 0; i < changes.size(); i += 2) {
    const int from = changes[i];
    const int to = i + 1 < changes.size() ? changes[i + 1] : width;
    for (int x = from; x < to;) {
      if (x % 8 == 0 && to - x >= 8) {
        row[x / 8] = 0xFF;
        x += 8;
      } else {
        row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (0x80u >> (x % 8)));
        ++x;
      }
    }
  }
}

// Decodes the page; with `packed` also writes the pels.
bool OurDecode(const Page& page, std::vector<std::uint8_t>* packed) {
  cals::conformance::MemorySource source(page.data);
  cals::conformance::Group4Decoder decoder(source, page.width);
  const std::size_t stride = (static_cast<std::size_t>(page.width) + 7) / 8;
  if (packed != nullptr) packed->resize(stride * static_cast<std::size_t>(page.height));
  for (int y = 0; y < page.height; ++y) {
    if (decoder.DecodeLine() != cals::conformance::LineOutcome::kDecoded) return false;
    if (packed != nullptr) PackRow(decoder.Changes(), page.width, packed->data() + stride * static_cast<std::size_t>(y));
  }
  return true;
}

// Megapixels per second of the median round.
double Throughput(const Page& page, double seconds, int rounds, const std::function<bool()>& decode) {
  std::vector<double> rates;
  for (int round = 0; round < rounds; ++round) {
    long passes = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0;
    do {
      if (!decode()) throw std::runtime_error(page.name + ": decode failed");
      ++passes;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < seconds);
    rates.push_back(static_cast<double>(passes) * page.width * page.height / elapsed / 1e6);
  }
  std::sort(rates.begin(), rates.end());
  return rates[rates.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 0.5;
  int rounds = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--seconds") seconds = std::stod(argv[i + 1]);
    if (std::string(argv[i]) == "--rounds") rounds = std::stoi(argv[i + 1]);
  }
  try {
    std::printf("| Page | Pels | Group 4 bytes | Changes only (Mpel/s) | Packed pels (Mpel/s) | libtiff (Mpel/s) | "
                "Packed / libtiff |\n|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Page& page : Pages()) {
      testing_support::LibtiffStrip strip(page.data, page.width, page.height);
      std::vector<std::uint8_t> ours;
      std::vector<std::uint8_t> theirs;
      if (!OurDecode(page, &ours) || !strip.Decode(theirs) || ours != theirs) {
        throw std::runtime_error(page.name + ": the decoders disagree");
      }
      const double changes = Throughput(page, seconds, rounds, [&] { return OurDecode(page, nullptr); });
      const double packed = Throughput(page, seconds, rounds, [&] { return OurDecode(page, &ours); });
      const double libtiff = Throughput(page, seconds, rounds, [&] { return strip.Decode(theirs); });
      std::printf("| %s | %d x %d | %zu | %.0f | %.0f | %.0f | %.2f |\n", page.name.c_str(), page.width, page.height,
                  page.data.size(), changes, packed, libtiff, packed / libtiff);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "decode_throughput: %s\n", error.what());
    return 1;
  }
  return 0;
}
