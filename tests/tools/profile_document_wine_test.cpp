// The configuration check reads INI files itself, to know the lines; here
// its reading is held against the real private-profile functions on files
// full of the cases where readers differ.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "cals/cp1252_codec.h"
#include "cals/win_utf16.h"
#include "tests/support/win/test_environment.h"
#include "tools/calsvar/configuration/profile_document.h"

namespace {

using calsvar::ProfileDocument;

const char kTrickyIni[] =
    "stray=before any section\r\n"
    "; comment = with an equals sign\r\n"
    "[rpelcnt]\r\n"
    "  Tagnames  =  pelwidth; pelheight  \r\n"
    "TAGPOSITIONS=1-6;8-13 ; sizes\r\n"
    "Readonly=1abc\r\n"
    "Readonly=0\r\n"
    "[RPELCNT]\r\n"
    "other=second section\r\n"
    "[ spaced ]\r\n"
    "k=v\r\n"
    "[\t two  words \t]\r\n"
    "k=w\r\n"
    "[]\r\n"
    "k=nameless\r\n"
    "[quotes]\r\n"
    "double=\"a;b\"\r\n"
    "single='x'\r\n"
    "half=\"abc\r\n"
    "empty=\"\"\r\n"
    "lone=\"\r\n"
    "[numbers]\r\n"
    "hex=0x1A\r\n"
    "HexUpper=0X1A\r\n"
    "word=abc\r\n"
    "neg=-7\r\n"
    "blank=\r\n"
    "bin=0b101\r\n"
    "spaced=   42   \r\n"
    "[noequals]\r\n"
    "Tagnames\r\n"
    "Tagnames=late\r\n"
    "[unclosed\r\n"
    "inside=1\r\n"
    "[tail] words after\r\n"
    "k=tail\r\n"
    "[long]\r\n"
    "k=0123456789012345678901234567890123456789\r\n";

class ProfileAgainstWine : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File(L"tricky.ini");
    std::ofstream(path_.c_str(), std::ios::binary) << kTrickyIni;
    doc_ = ProfileDocument::Parse(calsvar::DecodeProfileBytes(kTrickyIni, cals::Cp1252Codec()));
  }

  void ExpectSameString(const std::wstring& section, const std::wstring& key, DWORD capacity = 32767) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), L"DEFAULT", buffer.data(), capacity, path_.c_str());
    const std::wstring wine(buffer.data(), length);
    const std::u16string ours = doc_.ReadString(cals::ToUtf16(section), cals::ToUtf16(key), u"DEFAULT", capacity);
    EXPECT_EQ(cals::ToWide(ours), wine) << "[" << section.size() << "] key " << key.size();
  }

  void ExpectSameInt(const std::wstring& section, const std::wstring& key) {
    const int wine = static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), 99, path_.c_str()));
    EXPECT_EQ(doc_.ReadInt(cals::ToUtf16(section), cals::ToUtf16(key), 99), wine);
  }

  testing_support::TempDir dir_;
  std::wstring path_;
  ProfileDocument doc_;
};

TEST_F(ProfileAgainstWine, StringsReadTheSame) {
  const std::vector<std::pair<std::wstring, std::wstring>> lookups = {
      {L"rpelcnt", L"Tagnames"},  {L"rpelcnt", L"tagpositions"}, {L"rpelcnt", L"Readonly"},
      {L"rpelcnt", L"other"},     {L"rpelcnt", L"; comment"},    {L"", L"stray"},
      {L"spaced", L"k"},          {L" spaced ", L"k"},           {L"quotes", L"double"},
      {L"quotes", L"single"},     {L"quotes", L"half"},          {L"quotes", L"empty"},
      {L"quotes", L"lone"},       {L"noequals", L"Tagnames"},    {L"unclosed", L"inside"},
      {L"rpelcnt", L"[unclosed"}, {L"numbers", L"inside"},       {L"tail", L"k"},
      {L"missing", L"k"},         {L"numbers", L"spaced"},       {L"two  words", L"k"},
      {L"two words", L"k"},       {L"", L"k"},                   {L"", L"; comment"},
  };
  for (const auto& [section, key] : lookups) ExpectSameString(section, key);
  ExpectSameString(L"long", L"k", 10);
  ExpectSameString(L"quotes", L"double", 5);
  ExpectSameString(L"quotes", L"double", 4);
}

TEST_F(ProfileAgainstWine, IntegersReadTheSame) {
  for (const wchar_t* key : {L"hex", L"HexUpper", L"word", L"neg", L"blank", L"bin", L"spaced", L"missing"}) {
    ExpectSameInt(L"numbers", key);
  }
  ExpectSameInt(L"rpelcnt", L"Readonly");
}

}  // namespace
