// What one Save costs: a header loaded from a file on disk, one record
// changed in memory, and the header saved back, over and over. Natively
// through the C library's files, and in the Windows build through the
// share-deny-write files and ANSI code pages of the host's process (run it
// under Wine); the tag configuration is the sample one, held in memory, so
// that only the save is in the figure.
//
//   save_cost FOLDER [SAVES-PER-ROUND [ROUNDS]]
//
// Writes FOLDER/save-cost.cal (a standard header and a 64 KiB raster),
// then times ROUNDS rounds of SAVES-PER-ROUND saves and prints the median,
// lowest and highest time per save over the rounds, in microseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/standard_header.h"
#include "cals/cals_header.h"
#include "tools/make_samples/cals_file_writer.h"
#ifdef _WIN32
#include "cals/windows/win_ansi_text_codec.h"
#include "cals/windows/win_share_deny_write_files.h"
#else
#include "cals/std_file_opener.h"
#endif

namespace {

#ifdef _WIN32
using Codec = cals::AnsiTextCodec;
using Files = cals::ShareDenyWriteFileOpener;
#else
using Codec = cals::Cp1252Codec;
using Files = cals::StdFileOpener;
#endif

int Usage() {
  std::fprintf(stderr, "usage: save_cost FOLDER [SAVES-PER-ROUND [ROUNDS]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) return Usage();
  const int savesPerRound = argc > 2 ? std::atoi(argv[2]) : 500;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 11;
  if (savesPerRound <= 0 || rounds <= 0) return Usage();

  try {
    const std::filesystem::path file = std::filesystem::path(argv[1]) / "save-cost.cal";
    const std::string header = samples::BuildHeader(
        samples::StandardRecords(1728, 2200, 200, "DRW-1001-A", "Flange DN80, sheet 1 of 1"));
    samples::WriteCalsFile(file, header, std::vector<std::uint8_t>(64 * 1024, 0x5A));

    testing_support::HeaderRig rig;
    rig.Configure(bench::SampleTagConfiguration());
    Codec codec;
    Files files;
    const cals::HeaderPlatform platform{&codec, &files, &rig.config, &rig.installation};
    cals::CalsHeader opened(platform);
    const std::u16string path = file.u16string();
    if (opened.LoadHeader(path) != cals::kOk) {
      std::fprintf(stderr, "save_cost: %s did not load\n", file.string().c_str());
      return 1;
    }

    // Two values in turn, so that every save writes a changed record.
    const std::u16string values[] = {u"Flange DN80, sheet 1 of 1", u"Flange DN80, sheet 1 of 2"};
    std::vector<double> perSave;
    int next = 0;
    for (int round = 0; round < rounds; ++round) {
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < savesPerRound; ++i) {
        opened.tagFinder.SetTagValue(u"notes", values[next ^= 1]);
        opened.dirty = true;
        if (opened.SaveHeader() != cals::kOk) {
          std::fprintf(stderr, "save_cost: a save failed\n");
          return 1;
        }
      }
      const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
      perSave.push_back(spent.count() / savesPerRound);
    }
    std::sort(perSave.begin(), perSave.end());
    std::printf("saves_timed %d\nper_save_us_median %.2f\nper_save_us_min %.2f\nper_save_us_max %.2f\n",
                rounds * savesPerRound, perSave[perSave.size() / 2], perSave.front(), perSave.back());
    std::filesystem::remove(file);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "save_cost: %s\n", error.what());
    return 1;
  }
}
