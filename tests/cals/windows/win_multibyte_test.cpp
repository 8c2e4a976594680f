// Header text in a double-byte ANSI code page (Shift-JIS, 932). This
// program runs under a Japanese locale; Wine picks the code page from the
// locale at process start.
#include <gtest/gtest.h>

#include <windows.h>

#include "cals/cals_header.h"
#include "cals/win_utf16.h"
#include "cals/windows/windows_platform.h"
#include "tests/support/win/cals_test_files.h"

namespace {

using testing_support::ReadBinaryFile;
using testing_support::Record;
using testing_support::TempDir;
using testing_support::TestInstallation;
using testing_support::WriteBinaryFile;

constexpr char kNichi[] = "\x93\xFA";  // U+65E5 in Shift-JIS
constexpr char16_t kNichiUnit = u'\u65E5';

class ShiftJis : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese locale (LC_ALL=ja_JP.UTF-8), ANSI code page is " << GetACP();
  }
  const cals::TextCodec& codec = *cals::WindowsHeaderPlatform().codec;
};

TEST_F(ShiftJis, CodecCutsOnlyBetweenWholeCharacters) {
  EXPECT_EQ(codec.Decode("\x93\xFA\x96\x7B"), u"\u65E5\u672C");
  EXPECT_EQ(codec.Encode(u"\u65E5\u672C\u8A9E", 5), "\x93\xFA\x96\x7B");
  EXPECT_EQ(codec.Encode(u"a\u65E5", 2), "a");
  EXPECT_EQ(codec.Encode(u"a\u65E5b", 4), "a\x93\xFA" "b");
}

// Reading follows the thread's code page, writing the system's.
TEST_F(ShiftJis, ReadsWithTheThreadCodePage) {
  const LCID japanese = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
  const std::u16string read = codec.Decode("\xE9");
  const std::string written = codec.Encode(u"\u65E5", 8);
  SetThreadLocale(japanese);
  EXPECT_EQ(read, u"\u00E9");
  EXPECT_EQ(written, kNichi);
}

TEST_F(ShiftJis, ALongValueNeverSpillsIntoTheNextRecord) {
  TestInstallation install;
  TempDir drawings;
  const std::wstring file = drawings.File(L"kanji.cal");
  // Ten records, so the eleventh slot must keep only fill characters.
  const std::string original =
      testing_support::CalsFile({"srcdocid: A", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE",
                                 "docls: NONE", "rtype: 1", "rorient: 000,270", "rpelcnt: 001728,002200",
                                 std::string("notes: ") + kNichi + kNichi});
  ASSERT_TRUE(WriteBinaryFile(file, original));

  cals::CalsHeader header(cals::WindowsHeaderPlatform());
  ASSERT_EQ(header.LoadHeader(cals::ToUtf16(file)), cals::kOk);
  std::u16string notes;
  ASSERT_TRUE(header.tagFinder.GetTagValue(u"notes", notes));
  EXPECT_EQ(notes, std::u16string(2, kNichiUnit));

  // 121 characters fit the record by count, but need 242 bytes.
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"notes", std::u16string(121, kNichiUnit)));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);

  const std::string saved = ReadBinaryFile(file);
  ASSERT_EQ(saved.size(), original.size());
  std::string record = "notes: ";
  for (int i = 0; i < 60; ++i) record += kNichi;
  EXPECT_EQ(saved.substr(9 * 128, 128), Record(record)) << "60 whole characters, then the fill character";
  EXPECT_EQ(saved.substr(10 * 128), original.substr(10 * 128));

  cals::CalsHeader reloaded(cals::WindowsHeaderPlatform());
  ASSERT_EQ(reloaded.LoadHeader(cals::ToUtf16(file)), cals::kOk);
  ASSERT_TRUE(reloaded.tagFinder.GetTagValue(u"notes", notes));
  EXPECT_EQ(notes, std::u16string(60, kNichiUnit));
}

}  // namespace
