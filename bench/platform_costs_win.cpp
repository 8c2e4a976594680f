// What single platform calls and whole loads of the portable core cost in
// the host's runtime, each timed on its own in one process:
//   shared_location   the registry's "SharedLocation" through the product
//                     key the process keeps open, as every load reads it
//   shared_location_afresh  the same with the key opened and closed again
//                     each time (as before the key was kept)
//   identity          one identity question about the tag configuration file
//   profile_read      one private-profile read of the tag configuration
//   header_read       share-deny-write open, one 2048-byte read, close
//   load_every_time   a load that asks the configuration for every record
//   load_store        a load through the process's store (the plug-in's)
//   listing           calsvar's listing of a file's names: its own read of
//                     the header, through its own store, with the
//                     installation folder found once per run
// The installation is the registered one; the CALS files are taken in turn
// from FOLDER (or @LIST).
//
//   platform_costs_win FOLDER|@LIST
//
// Prints one "name microseconds-per-call" line each: the median of five
// batches; then "registry_per_load OPENS QUERIES CLOSES": the registry
// calls of one load after the first, counted through the kept key's seam.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "bench/corpus_files.h"
#include "cals/cals_header.h"
#include "cals/tag_config_store.h"
#include "cals/windows/kept_registry_key.h"
#include "cals/windows/registry_calls.h"
#include "cals/windows/settings_light.h"
#include "cals/windows/win_ansi_text_codec.h"
#include "cals/windows/win_private_profile_tag_config.h"
#include "cals/windows/win_registry_installation.h"
#include "cals/windows/win_share_deny_write_files.h"
#include "cals/windows/windows_platform.h"
#include "tests/support/win/counting_registry_calls.h"

namespace {

constexpr int kBatches = 5;

double Seconds() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call: the median of the batches.
void Time(const char* name, int calls, const std::function<bool(int)>& call) {
  std::vector<double> batches;
  for (int batch = 0; batch < kBatches; ++batch) {
    const double began = Seconds();
    for (int i = 0; i < calls; ++i) {
      if (!call(batch * calls + i)) throw std::runtime_error(std::string(name) + " failed");
    }
    batches.push_back((Seconds() - began) * 1e6 / calls);
  }
  std::sort(batches.begin(), batches.end());
  std::printf("%s %.1f\n", name, batches[kBatches / 2]);
}

// The folder found once, as calsvar keeps it over a run.
class FoundOnce final : public cals::InstallationLocator {
 public:
  explicit FoundOnce(std::u16string folder) : folder_(std::move(folder)) {}
  std::u16string SharedFolder() override { return folder_; }

 private:
  std::u16string folder_;
};

using testing_support::CountingRegistryCalls;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: platform_costs_win FOLDER|@LIST\n");
    return 2;
  }
  try {
    std::vector<std::u16string> files;
    for (const auto& path : bench::CorpusFiles(argv[1])) files.push_back(path.u16string());
    if (files.empty()) throw std::runtime_error("no CALS files");
    const auto file = [&](int i) -> const std::u16string& { return files[static_cast<std::size_t>(i) % files.size()]; };

    cals::AnsiTextCodec codec;
    cals::ShareDenyWriteFileOpener opener;
    cals::PrivateProfileTagConfig config;
    cals::RegistryInstallationLocator installation;
    const std::u16string folder = installation.SharedFolder();
    if (folder.empty()) throw std::runtime_error("no SharedLocation in the registry");
    const std::u16string ini = folder + u"FileFormats\\Mirotex.ini";

    cals::InstallationLocator& kept = *cals::WindowsHeaderPlatform().installation;
    Time("shared_location", 2000, [&](int) { return !kept.SharedFolder().empty(); });
    Time("shared_location_afresh", 2000, [&](int) { return !installation.SharedFolder().empty(); });
    Time("identity", 2000, [&](int) { return config.Identify(ini).known; });
    Time("profile_read", 500, [&](int) {
      return config.ReadString(ini, u"rorient", u"Tagnames", u"", cals::kConfigTextCapacity).size() < 40000;
    });
    Time("header_read", 1000, [&](int i) {
      unsigned char block[2048];
      const auto opened = opener.OpenForRead(file(i));
      return opened && opened->Read(block, sizeof block) == sizeof block;
    });

    const cals::HeaderPlatform everyTime{&codec, &opener, &config, &installation, nullptr};
    Time("load_every_time", 100, [&](int i) { return cals::CalsHeader(everyTime).LoadHeader(file(i)) == cals::kOk; });
    const cals::HeaderPlatform& plugin = cals::WindowsHeaderPlatform();
    Time("load_store", 1000, [&](int i) { return cals::CalsHeader(plugin).LoadHeader(file(i)) == cals::kOk; });
    FoundOnce found(folder);
    cals::TagConfigStore listingStore;
    const cals::HeaderPlatform listing{&codec, &opener, &config, &found, &listingStore};
    Time("listing", 1000, [&](int i) { return cals::CalsHeader(listing).LoadHeader(file(i)) == cals::kOk; });

    CountingRegistryCalls calls;
    cals::KeptRegistryKey productKey(calls, HKEY_LOCAL_MACHINE, kProductKey, KEY_READ);
    cals::RegistryInstallationLocator counted(&productKey);
    cals::TagConfigStore countedStore;
    const cals::HeaderPlatform countedPlatform{&codec, &opener, &config, &counted, &countedStore};
    constexpr int kCountedLoads = 100;
    for (int i = 0; i <= kCountedLoads; ++i) {
      if (i == 1) calls.Reset();  // after the first load
      if (cals::CalsHeader(countedPlatform).LoadHeader(file(i)) != cals::kOk) throw std::runtime_error("load failed");
    }
    std::printf("registry_per_load %g %g %g\n", double(calls.opens) / kCountedLoads,
                double(calls.queries) / kCountedLoads, double(calls.closes) / kCountedLoads);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "platform_costs_win: %s\n", error.what());
    return 1;
  }
  return 0;
}
