#include "tools/calsvar/writing/memory_header_file.h"

#include "cals/memory_file.h"

namespace calsvar {

std::unique_ptr<cals::OpenFile> MemoryHeaderFile::OpenForRead(const std::u16string&) {
  return std::make_unique<cals::MemoryFile>(bytes_, false);
}

std::unique_ptr<cals::OpenFile> MemoryHeaderFile::OpenForUpdate(const std::u16string&) {
  return std::make_unique<cals::MemoryFile>(bytes_, true);
}

}  // namespace calsvar
