// The configuration store, counted through the platform's seam: a later
// load of an unchanged configuration asks only for the file's identity;
// every kind of change, and answers asked too soon after a write, lead to
// asking again; a file changed in the middle of a load gives that load the
// new configuration wholly; the store stays within its bounds.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cals/cals_header.h"
#include "cals/tag_config_store.h"
#include "tests/support/header_rig.h"

namespace {

using cals::ConfigFileIdentity;
using cals::TagConfigStore;
using testing_support::HeaderRig;
using testing_support::kIniPath;
using testing_support::MemoryTagConfig;

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kWritten = 1'000'000 * kSecond;
constexpr char16_t kPath[] = u"C:\\a.cal";

const std::vector<std::string> kRecords = {
    "srcdocid: D-1", "dstdocid: NONE", "txtfilid: NONE",   "figid: NONE",         "srcgph: NONE", "docls: NONE",
    "rtype: 1",      "rorient: 000,270", "rdensty: 0200", "rpelcnt: 001728,002200", "notes: NONE"};
constexpr int kReadsPerLoad = 3 * 11;

// Two configurations of the same length.
constexpr char16_t kOld[] = u"[rorient]\nTagnames=a;b\nTagpositions=1-3;5-7\n[rtype]\nReadonly=1\n";
constexpr char16_t kNew[] = u"[rorient]\nTagnames=c;d\nTagpositions=1-3;5-7\n[rtype]\nReadonly=0\n";

ConfigFileIdentity File(std::int64_t size, std::int64_t lastWrite) {
  return ConfigFileIdentity{true, true, 0x20, size, kWritten - kSecond, lastWrite};
}

class ConfigStoreTest : public testing::Test {
 public:
  ConfigStoreTest() {
    rig.platform.configStore = &store;
    rig.files.files[kPath] = testing_support::MakeHeaderFile(kRecords);
    Rewrite(kOld, File(60, kWritten), kWritten + 10 * kSecond);
  }

  void Rewrite(std::u16string_view text, const ConfigFileIdentity& identity, std::int64_t now) {
    rig.Configure(text);
    rig.config.identity = identity;
    rig.config.now = now;
  }

  // Loads the file; the tags, and the questions the load asked.
  struct Load {
    std::vector<cals::Tag> tags;
    int reads;
    int identifies;
  };
  Load LoadWith(HeaderRig& with) {
    const int reads = with.config.reads();
    const int identifies = with.config.identifies();
    cals::CalsHeader header(with.platform);
    EXPECT_EQ(header.LoadHeader(kPath), cals::kOk);
    return {header.tagFinder.tags(), with.config.reads() - reads, with.config.identifies() - identifies};
  }
  Load LoadFile() { return LoadWith(rig); }

  // The tags a load gets when it asks the platform for everything.
  std::vector<cals::Tag> Asked(std::u16string_view text) {
    HeaderRig fresh;
    fresh.Configure(text);
    fresh.files = rig.files;
    return LoadWith(fresh).tags;
  }

  HeaderRig rig;
  TagConfigStore store;
};

TEST_F(ConfigStoreTest, ALaterLoadOfAnUnchangedFileAsksOnlyItsIdentity) {
  EXPECT_EQ(LoadFile().reads, kReadsPerLoad);
  const Load later = LoadFile();
  EXPECT_EQ(later.reads, 0);
  EXPECT_EQ(later.identifies, 1);
  EXPECT_EQ(later.tags, Asked(kOld));
}

struct Change {
  const char* name;
  std::function<void(ConfigStoreTest&)> apply;
  const char16_t* text;  // what the platform then answers from
  std::int64_t firstAsked = kWritten + 10 * kSecond;
  std::int64_t readTakes = 0;
};

class AChangedFile : public ConfigStoreTest, public testing::WithParamInterface<Change> {};

TEST_P(AChangedFile, IsAskedAgainAndItsAnswersAreTheNewOnes) {
  rig.config.now = GetParam().firstAsked;
  rig.config.readTakes = GetParam().readTakes;
  EXPECT_EQ(LoadFile().reads, kReadsPerLoad);
  GetParam().apply(*this);
  const Load later = LoadFile();
  EXPECT_EQ(later.reads, kReadsPerLoad);
  EXPECT_EQ(later.tags, Asked(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, AChangedFile,
    testing::Values(
        Change{"NewTimeAndSize",
               [](ConfigStoreTest& test) { test.Rewrite(kNew, File(61, kWritten + 5 * kSecond), kWritten + 20 * kSecond); },
               kNew},
        Change{"SameSizeNewTime",
               [](ConfigStoreTest& test) { test.Rewrite(kNew, File(60, kWritten + 1), kWritten + 20 * kSecond); }, kNew},
        Change{"Deleted", [](ConfigStoreTest& test) { test.Rewrite(u"", ConfigFileIdentity{}, kWritten + 20 * kSecond); },
               u""},
        Change{"ReplacedByAFolder",
               [](ConfigStoreTest& test) {
                 test.Rewrite(u"", ConfigFileIdentity{true, false, 0x10, 0, kWritten, kWritten + 3 * kSecond},
                           kWritten + 20 * kSecond);
               },
               u""},
        // Asked within two seconds of the write, then written again in the
        // same tick of a coarse clock: the identity cannot tell.
        Change{"RacyTimestamp",
               [](ConfigStoreTest& test) { test.Rewrite(kNew, File(60, kWritten), kWritten + 10 * kSecond); },
               kNew, kWritten + 2 * kSecond - 1},
        // The same, with reads so slow that the clock is past the racy
        // time once they are done: the edit may have fallen among them.
        Change{"RacyTimestampSlowReads",
               [](ConfigStoreTest& test) { test.Rewrite(kNew, File(60, kWritten), kWritten + 10 * kSecond); },
               kNew, kWritten + 2 * kSecond - 1, kSecond / 10}),
    [](const testing::TestParamInfo<Change>& change) { return change.param.name; });

TEST_F(ConfigStoreTest, ANewRecordNameIsAskedOnceAndKept) {
  LoadFile();
  rig.files.files[kPath] = testing_support::MakeHeaderFile({"srcdocid: D-1", "newname: x"});
  EXPECT_EQ(LoadFile().reads, 3);
  EXPECT_EQ(LoadFile().reads, 0);
}

// Answers the old configuration until `switchAfter` questions were asked,
// then the new one, with a new identity.
class SwitchingConfig final : public cals::TagConfig {
 public:
  explicit SwitchingConfig(int switchAfter) : switchAfter_(switchAfter) {}
  int ReadInt(const std::u16string& f, const std::u16string& s, const std::u16string& k, int d) override {
    return Current().ReadInt(f, s, k, d);
  }
  std::u16string ReadString(const std::u16string& f, const std::u16string& s, const std::u16string& k,
                            const std::u16string& d, std::size_t c) override {
    return Current().ReadString(f, s, k, d, c);
  }
  ConfigFileIdentity Identify(const std::u16string&) override {
    return File(60, asked_ > switchAfter_ ? kWritten + kSecond : kWritten);
  }
  std::int64_t Now() override { return kWritten + 10 * kSecond; }

 private:
  MemoryTagConfig& Current() { return ++asked_ > switchAfter_ ? new_ : old_; }
  int switchAfter_;
  int asked_ = 0;
  MemoryTagConfig old_{kIniPath, kOld};
  MemoryTagConfig new_{kIniPath, kNew};
};

TEST_F(ConfigStoreTest, AFileChangedDuringALoadGivesThatLoadTheNewConfigurationWholly) {
  const std::vector<cals::Tag> expected = Asked(kNew);
  for (int switchAfter = 0; switchAfter < kReadsPerLoad; ++switchAfter) {
    TagConfigStore own;
    SwitchingConfig config(switchAfter);
    rig.platform.config = &config;
    rig.platform.configStore = &own;
    cals::CalsHeader header(rig.platform);
    ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
    EXPECT_EQ(header.tagFinder.tags(), expected) << "switched after question " << switchAfter;
  }
}

TEST_F(ConfigStoreTest, StaysWithinItsBoundsWhateverTheRecordNamesAndFolders) {
  LoadFile();
  // 10,000 invented record names, eleven to a file.
  for (int name = 0; name < 10'000;) {
    std::vector<std::string> records;
    for (int k = 0; k < 11 && name < 10'000; ++k) records.push_back("n" + std::to_string(name++) + ": v");
    rig.files.files[kPath] = testing_support::MakeHeaderFile(records);
    LoadFile();
  }
  EXPECT_EQ(store.KeptSections(kIniPath), TagConfigStore::kMaxSections);
  rig.files.files[kPath] = testing_support::MakeHeaderFile({"beyond: the bound"});
  EXPECT_EQ(LoadFile().reads, 3);
  EXPECT_EQ(LoadFile().reads, 3) << "beyond the bound, asked every time";
  rig.files.files[kPath] = testing_support::MakeHeaderFile(kRecords);
  EXPECT_EQ(LoadFile().reads, 0) << "what was kept first stays kept";

  // More shared folders than the store keeps files for.
  for (int folder = 0; folder < 10; ++folder) {
    const std::u16string shared = u"C:\\Shared" + std::u16string(1, static_cast<char16_t>(u'0' + folder)) + u"\\";
    rig.installation.set_folder(shared);
    rig.config = MemoryTagConfig(shared + u"FileFormats\\Mirotex.ini", kOld);
    rig.config.identity = File(60, kWritten);
    rig.config.now = kWritten + 10 * kSecond;
    LoadFile();
  }
  EXPECT_EQ(store.KeptFiles(), TagConfigStore::kMaxFiles);
}

}  // namespace
