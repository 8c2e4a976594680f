// The configuration store against asking every time: a fuzzed sequence of
// steps rewrites, deletes or replaces the configuration file (with the
// times a file system with exact or two-second times would give it), lets
// the clock run, and loads headers with fuzzed record names. Every load is
// made twice, through the store and asking the platform double for every
// record: status and tags must be the same. After each load every answer
// the store keeps for the file as it is must equal the double's answer.
//
// Steps, each starting with one byte (its value modulo 4 picks the step):
//   0  rewrite: the byte's bit 2 deletes the file, bit 3 puts a folder in
//      its place, bit 4 gives the file exact times instead of two-second
//      ones; else the text up to a zero byte is its new content
//   1  clock: the next byte, in tenths of a second, passes
//   2  load: the text up to a zero byte, one record per line
//   3  clock: a few seconds pass
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cals/cals_header.h"
#include "cals/tag_config_store.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/header_rig.h"

namespace {

constexpr char16_t kPath[] = u"C:\\fuzz.cal";
constexpr std::int64_t kTenth = 1'000'000;
constexpr std::int64_t kTwoSeconds = 20 * kTenth;

std::vector<std::string> Records(std::u16string_view text) {
  std::vector<std::string> records;
  while (!text.empty() && records.size() < 16) {
    const std::size_t end = text.find(u'\n');
    std::string record;
    for (const char16_t c : text.substr(0, end)) record.push_back(static_cast<char>(c < 0x100 ? c : '?'));
    records.push_back(record);
    text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
  }
  return records;
}

void CheckKeptAnswers(cals::TagConfigStore& store, testing_support::MemoryTagConfig& config) {
  const std::u16string file = testing_support::kIniPath;
  const auto kept = store.Snapshot(file, config.identity);
  if (kept == nullptr) return;
  for (const auto& section : kept->sections) {
    FUZZ_CHECK(section->answers.readOnly == config.ReadInt(file, section->name, u"Readonly", 0));
    FUZZ_CHECK(section->answers.tagNames ==
               config.ReadString(file, section->name, u"Tagnames", u"", cals::kConfigTextCapacity));
    FUZZ_CHECK(section->answers.tagPositions ==
               config.ReadString(file, section->name, u"Tagpositions", u"", cals::kConfigTextCapacity));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  testing_support::HeaderRig rig;
  cals::TagConfigStore store;
  std::int64_t now = 1'000'000'000 * kTenth;
  std::int64_t created = now;
  const auto place = [&](std::u16string_view text, cals::ConfigFileIdentity identity) {
    rig.Configure(text);
    rig.config.identity = identity;
    rig.config.now = now;
  };
  place(u"", {});

  while (!input.empty()) {
    const std::uint8_t step = input.Byte();
    switch (step % 4) {
      case 0:
        if (step & 4) {
          place(u"", {});
        } else if (step & 8) {
          place(u"", {true, false, 0x10, 0, created, now});
        } else {
          const std::u16string text = input.TextUntilZero();
          const std::int64_t written = (step & 16) ? now : now - now % kTwoSeconds;
          place(text, {true, true, 0x20, static_cast<std::int64_t>(text.size()), created, written});
        }
        break;
      case 1:
        now += input.Byte() * kTenth;
        break;
      case 2: {
        rig.config.now = now;
        rig.files.files[kPath] = testing_support::MakeHeaderFile(Records(input.TextUntilZero()));
        rig.platform.configStore = &store;
        cals::CalsHeader stored(rig.platform);
        const cals::Status storedStatus = stored.LoadHeader(kPath);
        rig.platform.configStore = nullptr;
        cals::CalsHeader asked(rig.platform);
        const cals::Status askedStatus = asked.LoadHeader(kPath);
        FUZZ_CHECK(storedStatus == askedStatus);
        FUZZ_CHECK(stored.tagFinder.tags() == asked.tagFinder.tags());
        CheckKeptAnswers(store, rig.config);
        FUZZ_CHECK(store.KeptSections(testing_support::kIniPath) <= cals::TagConfigStore::kMaxSections);
        break;
      }
      default:
        now += 3 * kTwoSeconds / 2;
        break;
    }
  }
  return 0;
}
