// What one load asks of the platform, counted through the core's seams:
// private-profile reads, identity questions about the configuration file,
// clock readings, the installation folder ("SharedLocation" in the
// registry) and file opens. The standard header with the sample tag
// configuration, loaded three times: asking the configuration for every
// record (as before the store), then through a store, with the
// configuration file last written long ago. Also calsvar's listing, which
// reads the file itself and remembers the installation folder for a run.
//
// The counts are the same on Windows, where the platform calls are what
// costs, so they carry over where no time could be measured here.
#include <cstdio>
#include <memory>
#include <string>

#include "bench/standard_header.h"
#include "cals/cals_header.h"
#include "cals/tag_config_store.h"

namespace {

struct Counts {
  int reads = 0;
  int identities = 0;
  int clock = 0;
  int installation = 0;
  int opens = 0;
};

class CountingConfig final : public cals::TagConfig {
 public:
  CountingConfig(cals::TagConfig& inner, Counts& counts) : inner_(inner), counts_(counts) {}
  int ReadInt(const std::u16string& f, const std::u16string& s, const std::u16string& k, int d) override {
    ++counts_.reads;
    return inner_.ReadInt(f, s, k, d);
  }
  std::u16string ReadString(const std::u16string& f, const std::u16string& s, const std::u16string& k,
                            const std::u16string& d, std::size_t c) override {
    ++counts_.reads;
    return inner_.ReadString(f, s, k, d, c);
  }
  cals::ConfigFileIdentity Identify(const std::u16string& f) override {
    ++counts_.identities;
    return inner_.Identify(f);
  }
  std::int64_t Now() override {
    ++counts_.clock;
    return inner_.Now();
  }

 private:
  cals::TagConfig& inner_;
  Counts& counts_;
};

class CountingInstallation final : public cals::InstallationLocator {
 public:
  CountingInstallation(cals::InstallationLocator& inner, Counts& counts, bool remember)
      : inner_(inner), counts_(counts), remember_(remember) {}
  std::u16string SharedFolder() override {
    if (remember_ && !folder_.empty()) return folder_;
    ++counts_.installation;
    folder_ = inner_.SharedFolder();
    return folder_;
  }

 private:
  cals::InstallationLocator& inner_;
  Counts& counts_;
  bool remember_;
  std::u16string folder_;
};

class CountingFiles final : public cals::FileOpener {
 public:
  CountingFiles(cals::FileOpener& inner, Counts& counts) : inner_(inner), counts_(counts) {}
  std::unique_ptr<cals::OpenFile> OpenForRead(const std::u16string& path) override {
    ++counts_.opens;
    return inner_.OpenForRead(path);
  }
  std::unique_ptr<cals::OpenFile> OpenForUpdate(const std::u16string& path) override {
    ++counts_.opens;
    return inner_.OpenForUpdate(path);
  }

 private:
  cals::FileOpener& inner_;
  Counts& counts_;
};

// Loads the standard header three times; prints a row per load.
bool Count(const char* label, bool store, bool rememberFolder) {
  testing_support::HeaderRig rig;
  bench::PrepareStandardHeader(rig);
  constexpr std::int64_t kHour = 3600LL * 10'000'000;
  rig.config.identity = cals::ConfigFileIdentity{true, true, 0x20, 2048, 0, 100 * kHour};
  rig.config.now = 200 * kHour;
  Counts counts;
  CountingConfig config(rig.config, counts);
  CountingInstallation installation(rig.installation, counts, rememberFolder);
  CountingFiles files(rig.files, counts);
  cals::TagConfigStore configStore;
  const cals::HeaderPlatform platform{&rig.codec, &files, &config, &installation, store ? &configStore : nullptr};
  for (int load = 1; load <= 3; ++load) {
    counts = Counts{};
    cals::CalsHeader header(platform);
    if (!cals::Succeeded(header.LoadHeader(bench::kStandardFile))) return false;
    std::printf("| %s | %d | %d | %d | %d | %d | %d |\n", label, load, counts.reads, counts.identities, counts.clock,
                counts.installation, counts.opens);
  }
  return true;
}

}  // namespace

int main() {
  std::printf("| Load | Number | Private-profile reads | Identity questions | Clock readings |"
              " SharedLocation reads | File opens |\n|---|---:|---:|---:|---:|---:|---:|\n");
  const bool ok = Count("plug-in, asking every time (before)", false, false) &&
                  Count("plug-in, through the store (after)", true, false) &&
                  Count("calsvar's listing, through its store (after)", true, true);
  if (!ok) {
    std::fprintf(stderr, "platform_calls: the standard header did not load\n");
    return 1;
  }
  return 0;
}
