// calsvar's remembered installation folder: found once, asked again only
// while none is found.
#include <gtest/gtest.h>

#include "tests/support/fixed_installation.h"
#include "tools/calsvar/configuration/remembered_settings.h"

namespace {

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
