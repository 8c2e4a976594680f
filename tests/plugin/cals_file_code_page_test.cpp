// A thread whose locale has another ANSI code page than the system: the
// records are read in the thread's code page and written back in that same
// one, so that a save leaves every record it did not change byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using testing_support::ReadBinaryFile;
using testing_support::Record;

// The calling thread's locale, put back at the end of the scope.
class ThreadLocaleRestorer {
 public:
  ThreadLocaleRestorer() : locale_(GetThreadLocale()) {}
  ~ThreadLocaleRestorer() { SetThreadLocale(locale_); }
  ThreadLocaleRestorer(const ThreadLocaleRestorer&) = delete;
  ThreadLocaleRestorer& operator=(const ThreadLocaleRestorer&) = delete;

 private:
  LCID locale_;
};

TEST_F(CalsEnvironmentTest, UntouchedRecordsKeepTheirBytesOnAThreadOfAnotherLocale) {
  if (GetACP() != 1252) GTEST_SKIP() << "assumes Wine's default system code page, 1252";
  const LCID locales[] = {
      MAKELCID(0x0419, SORT_DEFAULT),  // Russian: 1251
      MAKELCID(0x0408, SORT_DEFAULT),  // Greek: 1253
      MAKELCID(0x0409, SORT_DEFAULT),  // English: the system's own 1252
  };
  // Bytes that mean other letters in each of the code pages, some of them
  // letters that the others lack.
  const std::string original = testing_support::CalsFile(
      {"srcdocid: D-4711", "dstdocid: NONE", "txtfilid: \xC0\xC1\xC2 \xE0\xE1\xE2 \xD3\xF3", "figid: NONE",
       "srcgph: Gr\xF6\xDF" "e \xBD \xA9 \x80", "docls: NONE", "rtype: 1", "rorient: 000,270",
       "rpelcnt: 001728,002200", "rdensty: 0200", "notes: caf\xE9 \xC0 la carte"});
  const ThreadLocaleRestorer restorer;
  for (const LCID locale : locales) {
    SCOPED_TRACE(locale);
    const std::wstring path = MakeFile(original);
    ASSERT_TRUE(SetThreadLocale(locale));
    auto file = Open(path);
    ASSERT_TRUE(file);
    ASSERT_EQ(S_OK, WriteString(file.get(), L"figid", L"CHANGED"));
    EXPECT_EQ(S_OK, file->Save());
    file.Reset();

    std::string expected = original;
    expected.replace(3 * 128, 128, Record("figid: CHANGED"));
    EXPECT_EQ(expected, ReadBinaryFile(path));
  }
}

}  // namespace
