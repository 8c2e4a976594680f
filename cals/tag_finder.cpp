#include "cals/tag_finder.h"

namespace cals {

TagFinder::TagFinder(const HeaderPlatform& platform)
    : platform_(platform), reading_(platform.config, platform.configStore, &iniPath_) {}

bool TagFinder::BeginLoad(unsigned char fillChar) {
  tags_.clear();
  // Room for every parsed record and the three tags derived from rpelcnt,
  // so that a load never moves tags it has already added.
  tags_.reserve(kParsedRecords + 3);
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
  reading_ = ConfigReading(platform_.config, platform_.configStore, &iniPath_);
  return true;
}

void TagFinder::EndLoad() { reading_ = ConfigReading(platform_.config, platform_.configStore, &iniPath_); }

}  // namespace cals
