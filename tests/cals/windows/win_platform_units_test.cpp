// The Windows text codec, tag configuration reader and file opener on
// their own, under Wine with its default (Windows-1252) code page.
#include <gtest/gtest.h>

#include <windows.h>

#include "cals/win_utf16.h"
#include "cals/windows/windows_platform.h"
#include "tests/support/win/cals_test_files.h"
#include "tests/support/win/test_environment.h"

namespace {

using cals::ToUtf16;
using testing_support::ReadBinaryFile;
using testing_support::TempDir;
using testing_support::WriteBinaryFile;

const cals::HeaderPlatform& Platform() { return cals::WindowsHeaderPlatform(); }

TEST(AnsiCodec, ConvertsWindows1252BothWays) {
  if (GetACP() != 1252) GTEST_SKIP() << "assumes Wine's default code page, 1252";
  const auto& codec = *Platform().codec;
  EXPECT_EQ(codec.Decode("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
  EXPECT_EQ(codec.Encode(u"caf\u00E9 \u20AC", 128), "caf\xE9 \x80");
  EXPECT_EQ(codec.Encode(u"abcdef", 4), "abcd");
  EXPECT_EQ(codec.Encode(u"abc", 0), "");
}

TEST(AnsiCodec, NeverSplitsASurrogatePair) {
  const auto& codec = *Platform().codec;
  const std::u16string face = u"\U0001F600";
  const std::string whole = codec.Encode(face, 16);
  ASSERT_FALSE(whole.empty());
  for (std::size_t limit = 1; limit < whole.size() + 1; ++limit) {
    EXPECT_EQ(codec.Encode(u"A" + face, limit + 1), limit < whole.size() ? "A" : "A" + whole) << limit;
  }
}

class TagConfiguration : public ::testing::Test {
 protected:
  void Write(std::string_view text) { ASSERT_TRUE(WriteBinaryFile(ini, text)); }
  std::u16string Text(const char16_t* section, const char16_t* key, std::size_t capacity = 32767) {
    return Platform().config->ReadString(ToUtf16(ini), section, key, u"default", capacity);
  }

  TempDir dir;
  std::wstring ini = dir.File(L"Mirotex.ini");
};

TEST_F(TagConfiguration, CutsLongTextsToTheBuffer) {
  Write("[rpelcnt]\r\nTagnames=" + std::string(40000, 'x') + "\r\nTagpositions=abcdefghij\r\n");
  EXPECT_EQ(Text(u"rpelcnt", u"Tagnames"), std::u16string(32766, u'x'));
  EXPECT_EQ(Text(u"rpelcnt", u"Tagpositions", 5), u"abcd");
  EXPECT_EQ(Text(u"rpelcnt", u"Tagpositions", 0), u"");
}

class HeaderFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteBinaryFile(path, "0123456789")); }

  // Opens the file the way another process would.
  DWORD OtherOpen(DWORD access) const {
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(h);
    return ERROR_SUCCESS;
  }

  TempDir dir;
  std::wstring path = dir.File(L"a.cal");
  cals::FileOpener& files = *Platform().files;
};

TEST_F(HeaderFiles, OthersCanReadButNotWriteWhileOpen) {
  for (bool update : {false, true}) {
    auto file = update ? files.OpenForUpdate(ToUtf16(path)) : files.OpenForRead(ToUtf16(path));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(OtherOpen(GENERIC_WRITE), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << update;
    EXPECT_EQ(OtherOpen(GENERIC_READ), static_cast<DWORD>(ERROR_SUCCESS)) << update;
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(OtherOpen(GENERIC_WRITE), static_cast<DWORD>(ERROR_SUCCESS)) << update;
  }
}

TEST_F(HeaderFiles, UpdateChangesOnlyTheBytesWrittenAndCreatesNothing) {
  auto file = files.OpenForUpdate(ToUtf16(path));
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Seek(3));
  EXPECT_EQ(file->Write("ab", 2), 2u);
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadBinaryFile(path), "012ab56789");

  const std::wstring absent = dir.File(L"absent.cal");
  EXPECT_EQ(files.OpenForUpdate(ToUtf16(absent)), nullptr);
  EXPECT_EQ(GetFileAttributesW(absent.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Also where the platform would let the write through (Wine run as root).
TEST_F(HeaderFiles, ReadOnlyFileOpensForReadingButNotForUpdate) {
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  auto reader = files.OpenForRead(ToUtf16(path));
  ASSERT_NE(reader, nullptr);
  char bytes[4] = {};
  EXPECT_EQ(reader->Read(bytes, 3), 3u);
  EXPECT_STREQ(bytes, "012");
  EXPECT_TRUE(reader->Close());

  EXPECT_EQ(files.OpenForUpdate(ToUtf16(path)), nullptr);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(OtherOpen(GENERIC_WRITE), static_cast<DWORD>(ERROR_SUCCESS)) << "the refused open left no handle";
  auto writer = files.OpenForUpdate(ToUtf16(path));
  ASSERT_NE(writer, nullptr);
  EXPECT_TRUE(writer->Close());
  EXPECT_EQ(ReadBinaryFile(path), "0123456789");
}

TEST_F(HeaderFiles, RefusesAPathWithAnEmbeddedZero) {
  // The C runtime would open "a.cal" and ignore the rest.
  EXPECT_EQ(files.OpenForRead(ToUtf16(path) + u'\0' + u"x"), nullptr);
  EXPECT_EQ(files.OpenForUpdate(ToUtf16(path) + u'\0' + u"x"), nullptr);
}

}  // namespace
