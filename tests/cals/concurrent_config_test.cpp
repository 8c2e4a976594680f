// Eight threads load headers through one configuration store while another
// thread rewrites the configuration between two versions: every load's
// tags are those of the one version or the other, wholly. Under
// ThreadSanitizer (the native-tsan preset) this is also the store's race
// test.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cals/cals_header.h"
#include "cals/tag_config_store.h"
#include "tests/support/header_rig.h"

namespace {

using testing_support::kIniPath;
using testing_support::MemoryTagConfig;

constexpr char16_t kPath[] = u"C:\\a.cal";
constexpr std::int64_t kSecond = 10'000'000;
constexpr int kLoaders = 8;
constexpr int kRewrites = 50;

const std::vector<std::string> kRecords = {"srcdocid: DRW-1001 A", "rtype: 1", "rorient: 000,270",
                                           "rpelcnt: 001728,002200", "notes: NONE"};
const std::u16string kVersions[2] = {
    u"[rorient]\nTagnames=a;b\nTagpositions=1-3;5-7\n[rtype]\nReadonly=1\n[srcdocid]\nTagnames=no\nTagpositions=1-8\n",
    u"[rorient]\nTagnames=c\nTagpositions=5-7\n[rpelcnt]\nReadonly=1\nTagnames=w;h\nTagpositions=1-6;8-13\n"};

// The platform's side: each question answered whole from one version, as
// the private-profile functions answer; every rewrite gives the file a new
// last-write time, and every third one is asked about within two seconds.
class RewrittenConfig final : public cals::TagConfig {
 public:
  int ReadInt(const std::u16string& f, const std::u16string& s, const std::u16string& k, int d) override {
    const std::lock_guard lock(mutex_);
    return versions_[version_].ReadInt(f, s, k, d);
  }
  std::u16string ReadString(const std::u16string& f, const std::u16string& s, const std::u16string& k,
                            const std::u16string& d, std::size_t c) override {
    const std::lock_guard lock(mutex_);
    return versions_[version_].ReadString(f, s, k, d, c);
  }
  cals::ConfigFileIdentity Identify(const std::u16string&) override {
    const std::lock_guard lock(mutex_);
    return {true, true, 0x20, static_cast<std::int64_t>(kVersions[version_].size()), 0, written_};
  }
  std::int64_t Now() override {
    const std::lock_guard lock(mutex_);
    return written_ + (written_ % 3 == 0 ? kSecond : 3 * kSecond);
  }
  void Rewrite() {
    const std::lock_guard lock(mutex_);
    version_ ^= 1;
    ++written_;
  }

 private:
  std::mutex mutex_;
  MemoryTagConfig versions_[2] = {{kIniPath, kVersions[0]}, {kIniPath, kVersions[1]}};
  int version_ = 0;
  std::int64_t written_ = 1000 * kSecond;
};

// One thread's own platform, around the shared configuration and store.
struct Loader {
  testing_support::HeaderRig rig;
  explicit Loader(cals::TagConfig& config, cals::TagConfigStore& store) {
    rig.platform.config = &config;
    rig.platform.configStore = &store;
    rig.files.files[kPath] = testing_support::MakeHeaderFile(kRecords);
  }
  std::vector<cals::Tag> Load() {
    cals::CalsHeader header(rig.platform);
    if (header.LoadHeader(kPath) != cals::kOk) return {};
    return header.tagFinder.tags();
  }
};

std::vector<cals::Tag> TagsOf(const std::u16string& version) {
  testing_support::HeaderRig rig;
  rig.Configure(version);
  rig.files.files[kPath] = testing_support::MakeHeaderFile(kRecords);
  cals::CalsHeader header(rig.platform);
  EXPECT_EQ(header.LoadHeader(kPath), cals::kOk);
  return header.tagFinder.tags();
}

TEST(ConcurrentConfig, EveryLoadSeesOneVersionWholly) {
  const std::vector<cals::Tag> expected[2] = {TagsOf(kVersions[0]), TagsOf(kVersions[1])};
  ASSERT_NE(expected[0], expected[1]);
  RewrittenConfig config;
  cals::TagConfigStore store;

  // The writer rewrites only once every loader has finished a load since
  // its last rewrite, so that no load sees so many changes that it stops
  // waiting for a steady file; the loaders load until it is done.
  std::atomic<int> loads[kLoaders] = {};
  std::atomic<bool> done = false;
  std::atomic<int> mixed = 0;
  std::atomic<int> seen[2] = {0, 0};
  std::vector<std::thread> loaders;
  for (int t = 0; t < kLoaders; ++t) {
    loaders.emplace_back([&, t] {
      Loader loader(config, store);
      while (!done.load()) {
        const std::vector<cals::Tag> tags = loader.Load();
        if (tags == expected[0]) {
          ++seen[0];
        } else if (tags == expected[1]) {
          ++seen[1];
        } else {
          ++mixed;
        }
        ++loads[t];
      }
    });
  }
  for (int rewrite = 0; rewrite < kRewrites; ++rewrite) {
    int before[kLoaders];
    for (int t = 0; t < kLoaders; ++t) before[t] = loads[t].load();
    config.Rewrite();
    for (int t = 0; t < kLoaders; ++t) {
      while (loads[t].load() == before[t]) std::this_thread::yield();
    }
  }
  done = true;
  for (std::thread& loader : loaders) loader.join();
  EXPECT_EQ(mixed.load(), 0);
  EXPECT_GT(seen[0].load(), 0);
  EXPECT_GT(seen[1].load(), 0);
}

}  // namespace
