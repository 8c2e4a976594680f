#include "cals/tag_finder.h"

namespace cals {

TagFinder::TagFinder(const HeaderPlatform& platform) : platform_(platform) {}

}  // namespace cals
