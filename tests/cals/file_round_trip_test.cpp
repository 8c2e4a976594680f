// A whole CALS file on disk through the C library file opener: loaded, one
// tag changed, saved, and compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cals/cals_header.h"
#include "cals/std_file_opener.h"
#include "tests/support/header_rig.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / (std::string("cals-core-") + info->name() + "-" +
                                         std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  fs::path File(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FileRoundTrip, OneChangedTagRewritesTheRecordsAndNothingElse) {
  // Sixteen records, some not in the written form, and raster data behind.
  const std::vector<std::string> records = {
      "SrcDocId:   DRW-1001   ", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE",
      "doccls: NONE", "rtype: 1", "RORIENT:000,270", "rpelcnt: 001728,002200", "rdensty: 0200", "notes: NONE",
      "", "", "", "", "trailer: not parsed"};
  const Bytes original = testing_support::MakeHeaderFile(records, ' ', 4096);

  TempFolder folder;
  const fs::path file = folder.File("drawing.cal");
  WriteFile(file, original);

  testing_support::HeaderRig rig;
  cals::StdFileOpener opener;
  rig.platform.files = &opener;
  rig.Configure(u"[rpelcnt]\nTagnames=pelx;pely\nTagpositions=1-6;8-13");

  cals::CalsHeader header(rig.platform);
  ASSERT_EQ(header.LoadHeader(file.u16string()), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"pely", u"2300"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);

  Bytes expected = testing_support::MakeHeaderFile(
      {"srcdocid: DRW-1001", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE", "doccls: NONE",
       "rtype: 1", "rorient: 000,270", "rpelcnt: 001728,2300", "rdensty: 0200", "notes: NONE"});
  expected.resize(cals::kWrittenSize);
  expected.insert(expected.end(), original.begin() + cals::kWrittenSize, original.end());
  EXPECT_EQ(ReadFile(file), expected);
}

TEST(StdFileOpener, UpdateNeedsAnExistingFileAndKeepsItsLength) {
  TempFolder folder;
  cals::StdFileOpener opener;
  const fs::path missing = folder.File("missing.cal");
  EXPECT_EQ(opener.OpenForUpdate(missing.u16string()), nullptr);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(opener.OpenForRead(missing.u16string()), nullptr);

  const fs::path file = folder.File("ten.bin");
  WriteFile(file, Bytes(10, 'a'));
  auto update = opener.OpenForUpdate(file.u16string());
  ASSERT_NE(update, nullptr);
  ASSERT_TRUE(update->Seek(2));
  EXPECT_EQ(update->Write("xy", 2), 2u);
  EXPECT_TRUE(update->Close());
  EXPECT_EQ(ReadFile(file), (Bytes{'a', 'a', 'x', 'y', 'a', 'a', 'a', 'a', 'a', 'a'}));
}

TEST(StdFileOpener, PathsThatNameNoFileOpenNothing) {
  cals::StdFileOpener opener;
  EXPECT_EQ(opener.OpenForRead(u""), nullptr);
  // A zero character would silently shorten the path to another file.
  TempFolder folder;
  const fs::path file = folder.File("a");
  WriteFile(file, Bytes(1, 'a'));
  EXPECT_EQ(opener.OpenForRead(file.u16string() + u'\0' + u"b"), nullptr);
  EXPECT_NE(opener.OpenForRead(file.u16string()), nullptr);
}

TEST(StdFileOpener, OpensNonAsciiPaths) {
  TempFolder folder;
  const fs::path file = folder.File("x") .replace_filename(fs::path(u"Zeichnung-\u00E4\u20AC.cal"));
  WriteFile(file, Bytes(3, 'z'));
  cals::StdFileOpener opener;
  auto read = opener.OpenForRead(file.u16string());
  ASSERT_NE(read, nullptr);
  char bytes[4] = {};
  EXPECT_EQ(read->Read(bytes, 4), 3u);
}

#ifndef _WIN32
TEST(StdFileOpener, FullPathKeepsAbsolutePathsAndAnchorsRelativeOnes) {
  cals::StdFileOpener opener;
  const std::u16string cwd = fs::current_path().u16string();
  const struct {
    std::u16string path;
    std::u16string full;
  } cases[] = {
      {u"/data/./a.cal", u"/data/./a.cal"},  // absolute: as given, not normalised
      {u"/x\u00E4.cal", u"/x\u00E4.cal"},
      {u"a.cal", cwd + u"/a.cal"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(opener.FullPath(c.path), c.full) << fs::path(c.path);
}
#endif

}  // namespace
