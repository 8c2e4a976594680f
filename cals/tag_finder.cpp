#include "cals/tag_finder.h"

namespace cals {

TagFinder::TagFinder(const HeaderPlatform& platform) : platform_(platform) {}

bool TagFinder::BeginLoad(unsigned char fillChar) {
  tags_.clear();
  if (!LocateConfiguration()) return false;
  fillChar_ = fillChar;
  return true;
}

bool TagFinder::LocateConfiguration() {
  if (platform_.installation == nullptr) return false;
  const std::u16string folder = platform_.installation->SharedFolder();
  if (folder.empty()) return false;
  // The folder always ends in a backslash.
  iniPath_ = folder + u"FileFormats\\Mirotex.ini";
  return true;
}

}  // namespace cals
