// Everything of the portable core that the plug-in's threads reach, run by
// several threads at once, many times over: each thread loads, reads,
// changes, formats and saves headers on its own objects (the codec and the
// file opener shared, as the host's process shares one set of platform
// objects), renders dates in every style, formats with the printf
// formatter, converts text through the codec and the text rules and parses
// the registry scripts. Every thread must get exactly what one thread alone
// gets. Under ThreadSanitizer (the native-tsan preset) this is the race
// test; in the other native builds it checks the results all the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <latch>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <stdlib.h>  // mkdtemp

#include "cals/cals_header.h"
#include "cals/cp1252_codec.h"
#include "cals/decimal_scan.h"
#include "cals/std_file_opener.h"
#include "cals/sub_tag_layout.h"
#include "cals/text_rules.h"
#include "cals/utf8.h"
#include "convert/format_date.h"
#include "convert/ole_date.h"
#include "convert/printf_format.h"
#include "com/registrar/script_expansion.h"
#include "com/registrar/script_parser.h"
#include "tests/support/header_rig.h"

// The test's own ThreadSanitizer settings, whoever runs it. io_sync=0: by
// default ThreadSanitizer takes file operations on the same descriptor
// number as synchronisation, and every thread here opens and closes files,
// so races elsewhere would go unseen.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MIROTEX_TSAN_BUILD 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define MIROTEX_TSAN_BUILD 1
#endif
#ifdef MIROTEX_TSAN_BUILD
extern "C" const char* __tsan_default_options() { return "io_sync=0:history_size=7:halt_on_error=1:second_deadlock_stack=1"; }
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;

constexpr int kThreads = 8;
// Each run takes one slice of the code units and one of the dates, so that
// a run stays short: ThreadSanitizer reports a race only while the earlier
// access is still in its per-thread history, and short runs keep the same
// code running close together in time on all threads. Every thread goes
// through every slice twice.
constexpr std::size_t kUnitSlices = 32;  // 2048 code units each
constexpr int kIterations = 2 * static_cast<int>(kUnitSlices);

const std::vector<std::string> kRecords = {
    "srcdocid: DRW-1001", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE",
    "srcgph: NONE",       "doccls: NONE",   "rtype: 1",       "rorient: 000,270",
    "rpelcnt: 001728,002200", "rdensty: 0200", "notes: Caf\xe9 \x80 \x9f"};

constexpr char16_t kIni[] =
    u"[rpelcnt]\nTagnames=pelx;pely\nTagpositions=1-6;8-13\n"
    u"[rorient]\nReadonly=1\nTagnames=a;b\nTagpositions=1-3;5-7\n"
    u"[srcdocid]\nTagnames=Kind;Number\nTagpositions=1-3;5-8\n";

const std::u16string kNames[] = {u"srcdocid", u"kind", u"number", u"rpelcnt", u"pelx", u"pely", u"width",
                                 u"height",   u"colordepth", u"rorient", u"a", u"b", u"notes", u"NOTES",
                                 u"missing"};

// Read-only inputs shared by every thread.
struct SharedInputs {
  Bytes file;                          // a header and a raster
  fs::path sharedPath;                 // that file on disk, only ever read
  std::vector<std::u16string> scripts;  // the module's registry scripts
  std::u16string allUnits;             // U+0000 to U+FFFF
  std::string allBytes;                // 0x00 to 0xFF
  // Shared like the host's process shares its platform objects; neither
  // keeps state (the opener's methods are merely not const).
  cals::Cp1252Codec codec;
  mutable cals::StdFileOpener files;
};

// What one run gives; a thread's every run must equal one thread's run.
struct Outcome {
  std::vector<std::int32_t> fileStatuses;  // of every load and save: all kOk
  std::vector<std::int32_t> statuses;
  std::vector<std::u16string> texts;
  std::vector<Bytes> bytes;

  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Paths in the temporary folder; its name is taken to be ASCII.
std::u16string Widen(const fs::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());
}

// The header operations, on a file in memory and on files on disk.
void RunHeaders(const SharedInputs& shared, const fs::path& ownFile, Outcome& out) {
  testing_support::HeaderRig rig;
  rig.Configure(kIni);
  rig.platform.codec = &shared.codec;
  constexpr char16_t kMemoryPath[] = u"C:\\a.cal";
  rig.files.files[kMemoryPath] = shared.file;

  cals::CalsHeader header(rig.platform);
  out.fileStatuses.push_back(header.LoadHeader(kMemoryPath));
  for (const std::u16string& name : kNames) {
    std::u16string text = u"(none)";
    out.statuses.push_back(header.tagFinder.GetTagValue(name, text));
    out.texts.push_back(text);
  }
  out.statuses.push_back(header.tagFinder.SetTagValue(u"kind", u"ABCDEF"));
  out.statuses.push_back(header.tagFinder.SetTagValue(u"a", u"refused"));
  out.statuses.push_back(header.tagFinder.SetTagValue(u"notes", u"\u20ac \u00e9 \u3042 \U0001F600"));
  out.statuses.push_back(header.tagFinder.SetTagValue(u"pely", u""));
  cals::HeaderBlock block;
  header.tagFinder.BuildHeaderBlock(block);
  out.bytes.emplace_back(block.begin(), block.end());
  header.dirty = true;
  out.fileStatuses.push_back(header.SaveHeader());
  out.bytes.push_back(rig.files.files[kMemoryPath]);

  // The same through the C library's streams: every thread reads the one
  // shared file, and saves into a file of its own.
  rig.platform.files = &shared.files;
  cals::CalsHeader fromDisk(rig.platform);
  out.fileStatuses.push_back(fromDisk.LoadHeader(Widen(shared.sharedPath)));
  for (const cals::Tag& tag : fromDisk.tagFinder.tags()) out.texts.push_back(tag.name + u"=" + tag.value);
  {
    std::ofstream copy(ownFile, std::ios::binary | std::ios::trunc);
    copy.write(reinterpret_cast<const char*>(shared.file.data()), static_cast<std::streamsize>(shared.file.size()));
  }
  cals::CalsHeader own(rig.platform);
  out.fileStatuses.push_back(own.LoadHeader(Widen(ownFile)));
  out.statuses.push_back(own.tagFinder.SetTagValue(u"number", u"4711"));
  own.dirty = true;
  out.fileStatuses.push_back(own.SaveHeader());
  std::ifstream saved(ownFile, std::ios::binary);
  out.bytes.emplace_back(std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>());
}

// Every style code in use and around, with a date of every kind (one per
// slice).
void RunDates(std::size_t slice, Outcome& out) {
  const double dates[] = {45356.578125, -5.25, 2958465.99999999, -657434.0, 0.5,
                          1e300,        0.0,   std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), std::numeric_limits<double>::denorm_min(),
                          -std::numeric_limits<double>::infinity(), -0.75};
  std::vector<std::int32_t> codes;
  for (std::int32_t code = -1; code <= 125; ++code) codes.push_back(code);
  codes.push_back(std::numeric_limits<std::int32_t>::min());
  codes.push_back(std::numeric_limits<std::int32_t>::max());
  {
    const double date = dates[slice % std::size(dates)];
    convert::CalendarFields fields;
    out.statuses.push_back(convert::OleDateToFields(date, fields));
    out.statuses.insert(out.statuses.end(), {fields.year, fields.month, fields.day, fields.hour, fields.minute,
                                             fields.second});
    for (const std::int32_t code : codes) {
      Str text(u"unrendered");
      out.statuses.push_back(convert::FormatDate(text, date, code));
      out.texts.push_back(text.text());
    }
  }
}

void RunPrintf(Outcome& out) {
  const FormatArg args[] = {-1, u"Mars", 2024, u"", 0, -2147483647 - 1, u"PM"};
  const char16_t* formats[] = {u"%d %s %04d %s %+d %i %-5s|", u"%05.3d|%.0d|% d|%%|%.2s",
                               u"%1024d", u"%1025d", u"%x", u"%d%s%d%s%d%d%s%d", u"%s", u"abc%"};
  for (const char16_t* format : formats) {
    try {
      out.texts.push_back(RenderPrintf(format, args));
    } catch (const std::invalid_argument&) {
      out.texts.push_back(u"(refused)");
    }
  }
}

// The codec, the text rules, the number scanner and the sub-tag layout
// over every byte and one slice of the code units.
void RunText(const SharedInputs& shared, std::size_t slice, Outcome& out) {
  const std::size_t sliceSize = shared.allUnits.size() / kUnitSlices;
  const std::u16string_view units = std::u16string_view(shared.allUnits).substr(slice * sliceSize, sliceSize);
  const std::u16string decoded = shared.codec.Decode(shared.allBytes);
  out.texts.push_back(decoded);
  const std::string encoded = shared.codec.Encode(units, SIZE_MAX);
  out.bytes.emplace_back(encoded.begin(), encoded.end());
  out.texts.push_back(cals::ToLower(units));
  out.texts.push_back(std::u16string(cals::Trim(decoded)));
  std::u16string spaces;
  for (const char16_t c : units) {
    if (cals::IsWhiteSpace(c)) spaces.push_back(c);
  }
  out.texts.push_back(spaces);
  const std::string utf8 = cals::ToUtf8(units);
  out.bytes.emplace_back(utf8.begin(), utf8.end());
  for (const std::u16string_view text : {u"  -12-34", u"+2147483648,9", u"x-1", u"7 , 8"}) {
    const cals::ScannedPair pair = cals::ScanDecimalPair(text, text.find(u',') != text.npos ? u',' : u'-');
    out.statuses.push_back(pair.first.value_or(-99));
    out.statuses.push_back(pair.second.value_or(-99));
  }
  const auto layout = cals::ParseSubTagLayout(u"a;B;c;", u"1-3;-2-0;5-9", 120);
  out.statuses.push_back(layout.has_value());
  for (const cals::SubTag& s : layout.value_or(std::vector<cals::SubTag>{})) {
    out.texts.push_back(s.name);
    out.statuses.insert(out.statuses.end(), {s.first, s.last});
  }
}

void RunScripts(const SharedInputs& shared, Outcome& out) {
  const registrar::Replacements replacements = {{u"MODULE", u"C:\\m.dll"}, {u"Module_Raw", u"C:\\m.dll"}};
  for (const std::u16string& script : shared.scripts) {
    std::u16string expanded;
    out.statuses.push_back(registrar::ExpandReplacements(script, replacements, &expanded));
    registrar::RegistryScript parsed;
    out.statuses.push_back(registrar::ParseRegistryScript(expanded, &parsed));
    for (const registrar::RootBlock& block : parsed.blocks) {
      for (const registrar::KeyNode& key : block.keys) out.texts.push_back(key.name);
    }
  }
}

Outcome RunOnce(const SharedInputs& shared, std::size_t slice, const fs::path& ownFile) {
  Outcome out;
  RunHeaders(shared, ownFile, out);
  RunDates(slice, out);
  RunPrintf(out);
  RunText(shared, slice, out);
  RunScripts(shared, out);
  return out;
}

class ConcurrentCore : public testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "mirotex_concurrent_XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder_ = folder;
    shared_.file = testing_support::MakeHeaderFile(kRecords, ' ', 333);
    shared_.sharedPath = folder_ / "shared.cal";
    std::ofstream(shared_.sharedPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(shared_.file.data()), static_cast<std::streamsize>(shared_.file.size()));
    for (const char* name : {"cals_file.rgs", "cals_format.rgs", "cals_preview.rgs"}) {
      std::ifstream in(std::string(MIROTEX_SOURCE_DIR) + "/module/" + name, std::ios::binary);
      ASSERT_TRUE(in) << name;
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      shared_.scripts.emplace_back(text.begin(), text.end());
    }
    for (std::uint32_t c = 0; c <= 0xFFFF; ++c) shared_.allUnits.push_back(static_cast<char16_t>(c));
    for (int b = 0; b <= 0xFF; ++b) shared_.allBytes.push_back(static_cast<char>(b));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
  SharedInputs shared_;
};

TEST_F(ConcurrentCore, EightThreadsGetWhatOneThreadGets) {
  // One thread alone first.
  std::vector<Outcome> expected;
  for (std::size_t slice = 0; slice < kUnitSlices; ++slice) {
    expected.push_back(RunOnce(shared_, slice, folder_ / "single.cal"));
  }
  // The reference itself: every header loaded and saved, and the saves
  // changed the files.
  const Outcome& first = expected.front();
  EXPECT_EQ(first.fileStatuses, std::vector<std::int32_t>(5, cals::kOk));
  ASSERT_EQ(first.bytes.size(), 5u);
  EXPECT_NE(first.bytes[1], shared_.file);
  EXPECT_NE(first.bytes[2], shared_.file);
  EXPECT_EQ(first.bytes[1].size(), shared_.file.size());

  std::latch start(kThreads);
  std::vector<int> mismatches(kThreads, 0);
  std::vector<int> firstMismatch(kThreads, -1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const fs::path ownFile = folder_ / ("thread" + std::to_string(t) + ".cal");
      start.arrive_and_wait();  // all threads begin together
      for (int i = 0; i < kIterations; ++i) {
        const std::size_t slice = static_cast<std::size_t>(i) % kUnitSlices;
        if (RunOnce(shared_, slice, ownFile) == expected[slice]) continue;
        if (mismatches[t]++ == 0) firstMismatch[t] = i;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(mismatches[t], 0) << "thread " << t << " first differed in run " << firstMismatch[t];
  }
}

}  // namespace
