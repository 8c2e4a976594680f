// Files opened through the C runtime with share-deny-write: while a header
// is read or written, other processes may read the file but not write it.
#pragma once

#include "cals/file_access.h"

namespace cals {

class ShareDenyWriteFileOpener final : public FileOpener {
 public:
  // "rb"
  std::unique_ptr<OpenFile> OpenForRead(const std::u16string& path) override;
  // "r+b": the file must exist and keeps its length and every byte that is
  // not written. A file marked read-only is refused.
  std::unique_ptr<OpenFile> OpenForUpdate(const std::u16string& path) override;
};

}  // namespace cals
