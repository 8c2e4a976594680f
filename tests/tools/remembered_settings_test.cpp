// calsvar's remembered configuration: each question reaches the platform
// once, and no answer is handed out for a question it was not given to.
#include <gtest/gtest.h>

#include "tests/support/fixed_installation.h"
#include "tests/support/memory_tag_config.h"
#include "tools/calsvar/remembered_settings.h"

namespace {

constexpr char16_t kIni[] = u"C:\\Shared\\FileFormats\\Mirotex.ini";

class RememberedTagConfigTest : public ::testing::Test {
 protected:
  testing_support::MemoryTagConfig source{kIni, u"[rpelcnt]\nTagnames=pelwidth;pelheight\nReadonly=1\n"};
  calsvar::RememberedTagConfig remembered{source};
};

TEST_F(RememberedTagConfigTest, AsksThePlatformOncePerQuestionAndAnswersAsItDid) {
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(remembered.ReadString(kIni, u"rpelcnt", u"Tagnames", u"", 32767), u"pelwidth;pelheight");
    EXPECT_EQ(remembered.ReadString(kIni, u"notes", u"Tagnames", u"", 32767), u"");
    EXPECT_EQ(remembered.ReadInt(kIni, u"rpelcnt", u"Readonly", 0), 1);
    EXPECT_EQ(remembered.ReadInt(kIni, u"notes", u"Readonly", 0), 0);
  }
  EXPECT_EQ(source.reads(), 4);
}

TEST_F(RememberedTagConfigTest, AnotherDefaultCapacityOrFileIsAnotherQuestion) {
  EXPECT_EQ(remembered.ReadString(kIni, u"rpelcnt", u"Tagnames", u"", 4), u"pel");
  EXPECT_EQ(remembered.ReadString(kIni, u"rpelcnt", u"Tagnames", u"", 32767), u"pelwidth;pelheight");
  EXPECT_EQ(remembered.ReadString(kIni, u"notes", u"Tagnames", u"none", 32767), u"none");
  EXPECT_EQ(remembered.ReadString(kIni, u"notes", u"Tagnames", u"", 32767), u"");
  EXPECT_EQ(remembered.ReadInt(kIni, u"notes", u"Readonly", 7), 7);
  EXPECT_EQ(remembered.ReadInt(kIni, u"notes", u"Readonly", 0), 0);
  EXPECT_EQ(remembered.ReadString(u"C:\\Other.ini", u"rpelcnt", u"Tagnames", u"", 32767), u"");
  EXPECT_EQ(source.reads(), 7);
}

TEST(RememberedInstallationTest, KeepsAFoundFolderAndAsksAgainWhileNoneIsFound) {
  testing_support::FixedInstallation source(u"");
  calsvar::RememberedInstallation remembered(source);
  EXPECT_EQ(remembered.SharedFolder(), u"");
  source.set_folder(u"D:\\Shared\\");
  EXPECT_EQ(remembered.SharedFolder(), u"D:\\Shared\\");
  source.set_folder(u"E:\\Elsewhere\\");
  EXPECT_EQ(remembered.SharedFolder(), u"D:\\Shared\\");
  EXPECT_EQ(source.asked(), 2);
}

}  // namespace
