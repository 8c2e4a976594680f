// Figures per operation of the portable core, in the setting of
// standard_header.h: a header load into the tag model (asking the
// configuration for every record, and through a configuration store), single tag and
// sub-tag reads and writes, building the header block for a save, and date
// rendering. Files and the tag configuration are in memory, so these are
// the core's own costs; scripts/bench.sh measures whole programs on disk.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/standard_header.h"
#include "cals/cals_header.h"
#include "cals/tag_config_store.h"
#include "convert/format_date.h"

namespace {

using testing_support::HeaderRig;

// A rig with the standard header loaded into one header object.
struct LoadedHeader {
  HeaderRig rig;
  std::unique_ptr<cals::CalsHeader> header;

  LoadedHeader() {
    bench::PrepareStandardHeader(rig);
    header = std::make_unique<cals::CalsHeader>(rig.platform);
    if (header->LoadHeader(bench::kStandardFile) != cals::kOk) throw std::runtime_error("standard header did not load");
  }
};

void LoadHeader(benchmark::State& state) {
  HeaderRig rig;
  bench::PrepareStandardHeader(rig);
  for (auto _ : state) {
    // A new object per file, as the host gets one per OpenFile.
    cals::CalsHeader header(rig.platform);
    benchmark::DoNotOptimize(header.LoadHeader(bench::kStandardFile));
    benchmark::DoNotOptimize(header.tagFinder.tags().data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LoadHeader);

// The same load through a configuration store that already holds the
// answers, as every load after the first in the plug-in's process.
void LoadHeaderThroughStore(benchmark::State& state) {
  HeaderRig rig;
  bench::PrepareStandardHeader(rig);
  rig.config.identity = cals::ConfigFileIdentity{true, true, 0x20, 2048, 0, 0};
  rig.config.now = 3600LL * 10'000'000;
  cals::TagConfigStore store;
  rig.platform.configStore = &store;
  for (auto _ : state) {
    cals::CalsHeader header(rig.platform);
    benchmark::DoNotOptimize(header.LoadHeader(bench::kStandardFile));
    benchmark::DoNotOptimize(header.tagFinder.tags().data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LoadHeaderThroughStore);

// The same load with no tag configuration at all: what the configuration
// look-ups add.
void LoadHeaderWithoutConfiguration(benchmark::State& state) {
  HeaderRig rig;
  bench::PrepareStandardHeader(rig);
  rig.Configure(u"");
  for (auto _ : state) {
    cals::CalsHeader header(rig.platform);
    benchmark::DoNotOptimize(header.LoadHeader(bench::kStandardFile));
  }
}
BENCHMARK(LoadHeaderWithoutConfiguration);

// Arg 0: the first record; 1: the last record; 2: a sub-tag of the ninth
// record; 3: a name that is not there (the whole list is searched).
void GetTagValue(benchmark::State& state) {
  static const std::u16string kNames[] = {u"srcdocid", u"notes", u"pelheight", u"nosuchname"};
  LoadedHeader loaded;
  const std::u16string& name = kNames[state.range(0)];
  std::u16string text;
  for (auto _ : state) {
    benchmark::DoNotOptimize(loaded.header->tagFinder.GetTagValue(name, text));
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(GetTagValue)->DenseRange(0, 3);

// Every variable of the file read by name, as one GetVariables of
// "calsvar get" asks for them: 19 names.
void GetEveryVariable(benchmark::State& state) {
  LoadedHeader loaded;
  std::vector<std::u16string> names;
  for (const cals::Tag& tag : loaded.header->tagFinder.tags()) {
    names.push_back(tag.name);
    for (const cals::SubTag& subTag : tag.subTags) names.push_back(subTag.name);
  }
  std::u16string text;
  for (auto _ : state) {
    for (const std::u16string& name : names) benchmark::DoNotOptimize(loaded.header->tagFinder.GetTagValue(name, text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(GetEveryVariable);

// Arg 0: a whole tag (srcdocid); 1: a sub-tag spliced into its value
// (density of rdensty); 2: a read-only tag, refused.
void SetTagValue(benchmark::State& state) {
  static const std::u16string kNames[] = {u"srcdocid", u"density", u"rtype"};
  static const std::u16string kTexts[] = {u"DRW-2002-B", u"0300", u"2"};
  LoadedHeader loaded;
  const std::u16string& name = kNames[state.range(0)];
  const std::u16string& text = kTexts[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(loaded.header->tagFinder.SetTagValue(name, text));
}
BENCHMARK(SetTagValue)->DenseRange(0, 2);

void BuildHeaderBlock(benchmark::State& state) {
  LoadedHeader loaded;
  cals::HeaderBlock block{};
  for (auto _ : state) {
    loaded.header->tagFinder.BuildHeaderBlock(block);
    benchmark::DoNotOptimize(block.data());
  }
}
BENCHMARK(BuildHeaderBlock);

// Arg: the date style. 0 (month name and 12-hour clock), 103 (day, month,
// year), 121 (ISO with time).
void FormatDate(benchmark::State& state) {
  const auto style = static_cast<std::int32_t>(state.range(0));
  Str output;
  double date = 45292.5;  // 1 January 2024, noon
  for (auto _ : state) {
    benchmark::DoNotOptimize(convert::FormatDate(output, date, style));
    benchmark::DoNotOptimize(output.text().data());
  }
}
BENCHMARK(FormatDate)->Arg(0)->Arg(103)->Arg(121);

}  // namespace

BENCHMARK_MAIN();
