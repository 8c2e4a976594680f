// A file opener whose every path is one header held in memory: lets the
// core load, save and load again a header that calsvar has read once,
// without touching the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cals/file_access.h"

namespace calsvar {

class MemoryHeaderFile final : public cals::FileOpener {
 public:
  explicit MemoryHeaderFile(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  std::unique_ptr<cals::OpenFile> OpenForRead(const std::u16string&) override;
  std::unique_ptr<cals::OpenFile> OpenForUpdate(const std::u16string&) override;

  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

}  // namespace calsvar
