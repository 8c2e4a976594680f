// The header of one opened CALS file: what the opened-file object keeps per
// file, and the two operations that touch the file itself.
#pragma once

#include <string>

#include "cals/status.h"
#include "cals/tag_finder.h"

namespace cals {

class CalsHeader {
 public:
  explicit CalsHeader(const HeaderPlatform& platform) : platform_(platform), tagFinder(platform) {}

  // S_OK, kCannotOpen, kTooShort or kFail. The file is open only inside.
  Status LoadHeader(const std::u16string& filePath);
  // S_OK when nothing was changed or the records were written; kFail when
  // the file cannot be opened for writing; dirty stays set on any failure.
  Status SaveHeader();

 private:
  const HeaderPlatform& platform_;

 public:
  std::u16string path;
  bool dirty = false;
  unsigned char fillChar = ' ';
  TagFinder tagFinder;
};

}  // namespace cals
