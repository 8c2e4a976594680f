// Decode throughput of the raster check's Group 4 decoder against libtiff,
// natively, on the same pages: the six pictures of the benchmark corpus,
// coded once by the sample generator.
//
//   decode_throughput [--seconds S] [--rounds N]
//
// Each decoder decodes each page again and again for about S seconds (0.5
// by default) of the thread's processor time, N rounds (5) with the three
// decoders taking turns, and the median round counts.
// Three ways are timed:
//   changes  - the check's own decode: changing elements only, no pels;
//   packed   - the same, then the pels written as packed bits, as libtiff
//              hands them out;
//   libtiff  - TIFFReadEncodedStrip on the page held as a one-strip TIFF in
//              memory.
// Prints a Markdown table in megapixels per second; every pass is checked
// against libtiff's pels, so a fast wrong decoder cannot pass.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "cals/conformance/group4_decoder.h"
#include "tests/support/libtiff_group4.h"
#include "tools/make_samples/g4_encoder.h"
#include "tools/make_samples/sample_pictures.h"

namespace {

// The thread's processor time, not the wall clock: on a machine shared with
// other work the wall clock counts the time the thread waits for a core,
// which lands on whichever decoder happens to run then.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

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

// Decodes the page; with `packed` also writes the pels.
bool OurDecode(const Page& page, std::vector<std::uint8_t>* packed) {
  cals::conformance::MemorySource source(page.data);
  cals::conformance::Group4Decoder decoder(source, page.width);
  const std::size_t stride = (static_cast<std::size_t>(page.width) + 7) / 8;
  if (packed != nullptr) packed->resize(stride * static_cast<std::size_t>(page.height));
  for (int y = 0; y < page.height; ++y) {
    if (decoder.DecodeLine() != cals::conformance::LineOutcome::kDecoded) return false;
    if (packed != nullptr) {
      cals::conformance::PackLine(decoder.Changes(), page.width,
                                  std::span<std::uint8_t>(packed->data() + stride * static_cast<std::size_t>(y), stride));
    }
  }
  return true;
}

// Megapixels per second of one round: passes for at least `seconds`.
double Round(const Page& page, double seconds, const std::function<bool()>& decode) {
  long passes = 0;
  const double start = ThreadSeconds();
  double elapsed = 0;
  do {
    if (!decode()) throw std::runtime_error(page.name + ": decode failed");
    ++passes;
    elapsed = ThreadSeconds() - start;
  } while (elapsed < seconds);
  return static_cast<double>(passes) * page.width * page.height / elapsed / 1e6;
}

double Median(std::vector<double> rates) {
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
      // The three decoders take turns, round by round.
      std::vector<double> changeRates;
      std::vector<double> packedRates;
      std::vector<double> libtiffRates;
      for (int round = 0; round < rounds; ++round) {
        changeRates.push_back(Round(page, seconds, [&] { return OurDecode(page, nullptr); }));
        packedRates.push_back(Round(page, seconds, [&] { return OurDecode(page, &ours); }));
        libtiffRates.push_back(Round(page, seconds, [&] { return strip.Decode(theirs); }));
      }
      const double changes = Median(changeRates);
      const double packed = Median(packedRates);
      const double libtiff = Median(libtiffRates);
      std::printf("| %s | %d x %d | %zu | %.0f | %.0f | %.0f | %.2f |\n", page.name.c_str(), page.width, page.height,
                  page.data.size(), changes, packed, libtiff, packed / libtiff);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "decode_throughput: %s\n", error.what());
    return 1;
  }
  return 0;
}
