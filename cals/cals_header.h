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

  // kOk, kCannotOpen, kTooShort or kFail. The path is kept even when the
  // open fails. A failed load leaves a partial tag list; the caller then
  // discards the object. The file is open only inside.
  Status LoadHeader(const std::u16string& filePath);
  // kOk when nothing was changed or the records were written; kFail when
  // the file cannot be opened for writing; kWriteFault when the write,
  // flush or close fails after the open. dirty stays set on any failure.
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
