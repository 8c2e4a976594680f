// Header text in Shift-JIS (code page 932) through the host's calls: values
// with double-byte characters load, read, write and save, and a value too
// long for its record loses whole characters only, never half of one and
// never a byte of the next record. This program runs under a Japanese
// locale; Wine picks the ANSI code page from the locale at process start.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::Items;
using cals_test::kParsed;
using testing_support::ReadBinaryFile;

constexpr UINT kShiftJis = 932;

// Shift-JIS bytes, split where a hex escape would swallow the next digit.
// 図面番号01 第3枚 改
constexpr char kDrawingIdBytes[] = "\x90\x7D\x96\xCA\x94\xD4\x8D\x86" "01 \x91\xE6" "3\x96\x87 \x89\xFC";
// 図面番号01 第4枚 改
constexpr char kDrawingIdSheet4Bytes[] = "\x90\x7D\x96\xCA\x94\xD4\x8D\x86" "01 \x91\xE6" "4\x96\x87 \x89\xFC";
// ｶﾀｶﾅ-表示: half-width katakana are single bytes above 0x7F; the second
// byte of 表 is 0x5C, a backslash when read byte by byte.
constexpr char kDestinationBytes[] = "\xB6\xC0\xB6\xC5-\x95\x5C\x8E\xA6";
constexpr char kYamadaBytes[] = "\x8E\x52\x93\x63\x91\xBE\x98\x59";  // 山田太郎
constexpr char kZubanBytes[] = "\x90\x7D\x94\xD4";                      // 図番
constexpr char kHyouBytes[] = "\x95\x5C";                               // 表
constexpr char kNihonBytes[] = "\x93\xFA\x96\x7B";                      // 日本

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}
std::wstring Repeat(std::wstring_view piece, int times) {
  std::wstring out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// A drawing from a Japanese supplier: double-byte values, one record whose
// name is double-byte too.
std::string JapaneseCalsFile() {
  return testing_support::CalsFile({std::string("srcdocid: ") + kDrawingIdBytes,
                                    std::string("dstdocid: ") + kDestinationBytes, "txtfilid: NONE",
                                    "figid: NONE", "srcgph: NONE", std::string(kZubanBytes) + ": A-1", "rtype: 1",
                                    "rorient: 000,270", "rpelcnt: 001728,002200", "rdensty: 0200",
                                    std::string("notes: 2024/03/05 ") + kYamadaBytes});
}

// Where the characters of a record end when it is read as Shift-JIS from its
// first byte: 128 unless the last character straddles the record's end.
std::size_t CharactersEnd(std::string_view record) {
  std::size_t at = 0;
  while (at < record.size()) at += IsDBCSLeadByteEx(kShiftJis, static_cast<BYTE>(record[at])) ? 2 : 1;
  return at;
}

// Every byte belongs to a whole character: no lead byte without its trail.
bool WholeCharacters(std::string_view record) {
  return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, record.data(), static_cast<int>(record.size()),
                             nullptr, 0) > 0;
}

class ShiftJisFile : public CalsEnvironmentTest {
 protected:
  void SetUp() override {
    if (GetACP() != kShiftJis) {
      GTEST_SKIP() << "needs the Japanese locale (LC_ALL=ja_JP.UTF-8); the ANSI code page is " << GetACP();
    }
    CalsEnvironmentTest::SetUp();
  }

  // GetVariables of "CALS" items by name; the texts in order.
  static std::vector<std::wstring> Read(IOrvFileNavigator* file, std::initializer_list<const wchar_t*> names) {
    std::vector<std::wstring> texts;
    for (const wchar_t* name : names) {
      Items item{{name, L"CALS"}};
      const HRESULT hr = file->GetVariables(0, 0, 0, 1, item.data());
      texts.push_back(hr == S_OK && item[0].resultFlag == 1 ? item.Text(0) : L"<not found>");
    }
    return texts;
  }
};

// After a save: same length, bytes from 1408 on as they were, and each of
// the 11 records within its 128 bytes holding whole characters only.
void ExpectWholeRecordsAndTheRestKept(const std::string& original, const std::string& saved) {
  ASSERT_EQ(original.size(), saved.size());
  EXPECT_EQ(original.substr(kParsed), saved.substr(kParsed)) << "bytes from 1408 on never change";
  for (std::size_t record = 0; record < 11; ++record) {
    const std::string_view bytes = std::string_view(saved).substr(record * 128, 128);
    EXPECT_EQ(128u, CharactersEnd(bytes)) << "record " << record + 1 << " ends in half a character";
    EXPECT_TRUE(WholeCharacters(bytes)) << "record " << record + 1;
  }
}

TEST_F(ShiftJisFile, DoubleByteValuesLoadAndReadAsTheirCharacters) {
  auto file = Open(MakeFile(JapaneseCalsFile()));
  ASSERT_TRUE(file);
  const std::vector<std::wstring> expected = {
      L"図面番号01 第3枚 改", L"図面番号01", L"第3枚", L"改", L"ｶﾀｶﾅ-表示", L"A-1", L"2024/03/05", L"山田太郎"};
  EXPECT_EQ(expected, Read(file.get(), {L"srcdocid", L"drawingno", L"sheet", L"revision", L"dstdocid", L"図番",
                                        L"approved", L"approvedby"}));
}

TEST_F(ShiftJisFile, TooLongValuesLoseWholeCharactersOnlyAndStayInTheirRecords) {
  const std::string original = JapaneseCalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);

  // Each value fits its record by characters, not by bytes.
  Items items{{L"txtfilid", L"CALS"}, {L"figid", L"CALS"},      {L"dstdocid", L"CALS"},
              {L"sheet", L"CALS"},    {L"approvedby", L"CALS"}, {L"図番", L"CALS"}};
  const std::wstring hyou61 = Repeat(L"表", 61);
  items.SetString(0, hyou61.c_str());
  items.SetString(1, hyou61.c_str());
  items.SetString(2, (L"a" + Repeat(L"表", 62)).c_str());
  items.SetString(3, L"第4枚");
  items.SetString(4, Repeat(L"日本", 10).c_str());
  items.SetString(5, L"図面-B");
  ASSERT_EQ(S_OK, file->SetVariables(0, 0, 0, items.count(), items.data(), 103));
  for (LONG i = 0; i < items.count(); ++i) EXPECT_EQ(1, items[i].resultFlag) << i;
  ASSERT_EQ(S_OK, file->Save());

  const std::string saved = ReadBinaryFile(path);
  ASSERT_NO_FATAL_FAILURE(ExpectWholeRecordsAndTheRestKept(original, saved));
  // txtfilid fills its record to the last byte with 59 characters; figid
  // and dstdocid have one byte left, too few for another character, so it
  // takes the fill character. The sheet of the drawing id is positions 8
  // to 10 in characters, not in bytes.
  const std::string expected = testing_support::CalsFile(
      {std::string("srcdocid: ") + kDrawingIdSheet4Bytes,
       "dstdocid: a" + Repeat(kHyouBytes, 58),
       "txtfilid: " + Repeat(kHyouBytes, 59),
       "figid: " + Repeat(kHyouBytes, 60),
       "srcgph: NONE",
       std::string(kZubanBytes) + ": \x90\x7D\x96\xCA-B",
       "rtype: 1",
       "rorient: 000,270",
       "rpelcnt: 001728,002200",
       "rdensty: 0200",
       "notes: 2024/03/05 " + Repeat(kNihonBytes, 10)});
  EXPECT_EQ(expected.substr(0, kParsed), saved.substr(0, kParsed));

  auto reopened = Open(path);
  ASSERT_TRUE(reopened);
  const std::vector<std::wstring> whatFits = {Repeat(L"表", 59), Repeat(L"表", 60), L"a" + Repeat(L"表", 58),
                                              L"図面番号01",     L"第4枚",          L"改",
                                              Repeat(L"日本", 10), L"図面-B"};
  EXPECT_EQ(whatFits, Read(reopened.get(), {L"txtfilid", L"figid", L"dstdocid", L"drawingno", L"sheet", L"revision",
                                            L"approvedby", L"図番"}));
}

// Files from outside may hold broken Shift-JIS: a record whose last byte is
// the first half of a character, a first half followed by a blank. They
// load, what stands before the break reads as it was, and once saved every
// record holds whole characters only. (What a broken character reads as is
// the platform's choice; Wine gives U+30FB.)
TEST_F(ShiftJisFile, BrokenCharactersLoadAndAreWrittenBackWhole) {
  std::string original = JapaneseCalsFile();
  const std::string cutAtTheEnd = "txtfilid: " + Repeat(kHyouBytes, 58) + "a\x95";
  ASSERT_EQ(128u, cutAtTheEnd.size());
  original.replace(2 * 128, 128, cutAtTheEnd);
  original.replace(4 * 128, 128, testing_support::Record("srcgph: \x95 X"));
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  const std::vector<std::wstring> read = Read(file.get(), {L"txtfilid", L"srcgph"});
  const std::wstring beforeTheBreak = Repeat(L"表", 58) + L"a";
  EXPECT_EQ(beforeTheBreak, read[0].substr(0, beforeTheBreak.size()));
  EXPECT_LE(read[0].size(), beforeTheBreak.size() + 1) << "at most one character for the broken one";
  EXPECT_EQ(L'X', read[1].back());

  ASSERT_EQ(S_OK, WriteString(file.get(), L"figid", L"図"));
  ASSERT_EQ(S_OK, file->Save());
  const std::string saved = ReadBinaryFile(path);
  ASSERT_NO_FATAL_FAILURE(ExpectWholeRecordsAndTheRestKept(original, saved));
  EXPECT_EQ(cutAtTheEnd.substr(0, 127), saved.substr(2 * 128, 127));
  EXPECT_EQ(testing_support::Record("figid: \x90\x7D"), saved.substr(3 * 128, 128));
}

}  // namespace
