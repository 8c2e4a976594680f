// The benchmark corpus: every file must be a header the plug-in loads whole
// and a file the format's folder walk picks up, or the benchmarks would
// time failures or fewer files than they claim; and it must really vary.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cals/cals_header.h"
#include "tests/support/header_rig.h"
#include "tools/calsvar/files/extension_filter.h"
#include "tools/make_samples/cals_file_writer.h"
#include "tools/make_samples/corpus_headers.h"

namespace {

using namespace samples;

constexpr char16_t kFile[] = u"C:\\corpus\\file.cal";
constexpr int kFilesChecked = 3000;

const CorpusPicture kPictures[] = {{1654, 2339, 200}, {800, 600, 100}, {3508, 2480, 300}};

// The sub-tag layout of the bundled sample configuration.
constexpr char16_t kSampleConfiguration[] =
    u"[rtype]\nReadonly=1\n"
    u"[rorient]\nTagnames=orientation;lineprogression\nTagpositions=1-3;5-7\n"
    u"[rpelcnt]\nTagnames=pelwidth;pelheight\nTagpositions=1-6;8-13\n"
    u"[rdensty]\nTagnames=density\nTagpositions=1-4\n";

std::u16string Decimal(int number) {
  const std::string text = std::to_string(number);
  return std::u16string(text.begin(), text.end());
}

std::u16string Value(const cals::CalsHeader& header, const std::u16string& name) {
  std::u16string text;
  EXPECT_TRUE(header.tagFinder.GetTagValue(name, text)) << "no variable " << std::string(name.begin(), name.end());
  return text;
}

TEST(BenchmarkCorpus, EveryHeaderLoadsWholeWithThePictureSize) {
  testing_support::HeaderRig rig;
  rig.Configure(kSampleConfiguration);
  for (int i = 0; i < kFilesChecked; ++i) {
    const CorpusPicture& picture = kPictures[CorpusPictureIndex(static_cast<std::uint64_t>(i), std::size(kPictures))];
    const std::string header = BuildHeader(CorpusRecords(static_cast<std::uint64_t>(i), picture));
    rig.files.files[kFile] = testing_support::Bytes(header.begin(), header.end());
    cals::CalsHeader loaded(rig.platform);
    ASSERT_EQ(loaded.LoadHeader(kFile), cals::kOk) << "file " << i;
    // Eleven records, plus width, height and colordepth.
    ASSERT_EQ(loaded.tagFinder.tags().size(), 14u) << "file " << i;
    EXPECT_EQ(Value(loaded, u"width"), Decimal(picture.width)) << "file " << i;
    EXPECT_EQ(Value(loaded, u"height"), Decimal(picture.height)) << "file " << i;
    EXPECT_EQ(Value(loaded, u"rtype"), u"1") << "file " << i;
  }
}

TEST(BenchmarkCorpus, HeadersVaryAsAnArchiveDoes) {
  std::set<std::string> orientations;
  std::set<std::size_t> idLengths;
  std::set<std::size_t> picturesUsed;
  bool emptyNotes = false;
  bool longNotes = false;
  bool upperCaseNames = false;
  for (int i = 0; i < kFilesChecked; ++i) {
    const auto index = static_cast<std::uint64_t>(i);
    picturesUsed.insert(CorpusPictureIndex(index, 6));
    const auto records = CorpusRecords(index, kPictures[0]);
    orientations.insert(records[7].substr(records[7].find(':') + 2));
    idLengths.insert(records[0].size());
    emptyNotes |= records[10].size() <= std::string("notes: ").size();
    longNotes |= records[10].size() > 100;
    upperCaseNames |= records[0].starts_with("SRCDOCID");
  }
  EXPECT_EQ(orientations.size(), 4u);
  EXPECT_GE(idLengths.size(), 10u);
  EXPECT_EQ(picturesUsed.size(), 6u);
  EXPECT_TRUE(emptyNotes);
  EXPECT_TRUE(longNotes);
  EXPECT_TRUE(upperCaseNames);
}

TEST(BenchmarkCorpus, EveryFileNameHasOneOfTheFormatsExtensionsAndIsUnique) {
  const calsvar::ExtensionFilter filter(u"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst");
  std::set<std::string> names;
  std::set<std::string> extensions;
  for (int i = 0; i < kFilesChecked; ++i) {
    const std::string name = CorpusFileName(static_cast<std::uint64_t>(i));
    EXPECT_TRUE(filter.Matches(std::u16string(name.begin(), name.end()))) << name;
    EXPECT_TRUE(names.insert(name).second) << name;
    extensions.insert(name.substr(name.rfind('.')));
  }
  EXPECT_GE(extensions.size(), 4u);
}

}  // namespace
