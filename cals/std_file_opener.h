// File access through the C library's FILE streams, without sharing
// restrictions: for native builds and tests. The host's process uses the
// share-deny-write opener of the Windows platform instead.
#pragma once

#include "cals/file_access.h"

namespace cals {

// Paths are UTF-16; on POSIX systems they are handed over as UTF-8. A path
// that is empty or holds a zero character opens nothing.
class StdFileOpener final : public FileOpener {
 public:
  std::unique_ptr<OpenFile> OpenForRead(const std::u16string& path) override;
  std::unique_ptr<OpenFile> OpenForUpdate(const std::u16string& path) override;
  // Relative paths are joined to the current folder.
  std::u16string FullPath(const std::u16string& path) override;
};

}  // namespace cals
