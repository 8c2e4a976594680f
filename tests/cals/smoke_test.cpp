#include <gtest/gtest.h>

#include "cals/tag_finder.h"

TEST(TagFinderSmoke, StartsEmpty) {
  cals::HeaderPlatform platform{};
  cals::TagFinder finder(platform);
  EXPECT_TRUE(finder.tags().empty());
  EXPECT_TRUE(finder.iniPath().empty());
}
