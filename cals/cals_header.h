// The header of one opened CALS file: what the opened-file object keeps per
// file, and the two operations that touch the file itself.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "cals/status.h"
#include "cals/tag_finder.h"

namespace cals {

class CalsHeader {
 public:
  explicit CalsHeader(const HeaderPlatform& platform) : platform_(platform), tagFinder(platform) {}

  // kOk, kCannotOpen, kTooShort or kFail. The path is kept (as the file
  // opener's full path) even when the open fails. A failed load leaves a
  // partial tag list; the caller then discards the object. The file is open
  // only inside.
  Status LoadHeader(const std::u16string& filePath);
  // kOk when nothing was changed or the records were written; kFail when
  // the file cannot be opened for writing, no longer holds a whole header,
  // or holds another header than this object loaded or last wrote (then
  // nothing is written); kWriteFault when the write, flush or close fails
  // after the open. dirty stays set on any failure.
  Status SaveHeader();

 private:
  using WrittenBlock = std::array<unsigned char, kWrittenSize>;

  bool HoldsOwnHeader(const HeaderBlock& onDisk) const;

  const HeaderPlatform& platform_;
  // The 2048 bytes the file held when it was loaded, then after each save:
  // a save writes only over these.
  HeaderBlock kept_{};
  // Records 1 to 11 of a save whose write failed, which may have reached
  // the file in part; none otherwise.
  std::unique_ptr<WrittenBlock> unfinished_;
  // The code page the records were read in, and are written back in.
  TextCodec::CodePage codePage_ = 0;

 public:
  std::u16string path;
  bool dirty = false;
  unsigned char fillChar = ' ';
  TagFinder tagFinder;
};

}  // namespace cals
