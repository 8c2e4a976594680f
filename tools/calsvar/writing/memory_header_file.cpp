#include "tools/calsvar/writing/memory_header_file.h"

#include <algorithm>
#include <cstring>

namespace calsvar {
namespace {

class MemoryFile final : public cals::OpenFile {
 public:
  MemoryFile(std::vector<unsigned char>& bytes, bool writable) : bytes_(bytes), writable_(writable) {}
  bool Seek(std::int64_t offset) override {
    if (offset < 0) return false;
    position_ = static_cast<std::size_t>(offset);
    return true;
  }
  std::int64_t Tell() override { return static_cast<std::int64_t>(position_); }
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
  std::size_t Read(void* buffer, std::size_t size) override {
    if (position_ >= bytes_.size()) return 0;
    const std::size_t count = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  std::size_t Write(const void* buffer, std::size_t size) override {
    if (!writable_) return 0;
    if (bytes_.size() < position_ + size) bytes_.resize(position_ + size);
    std::memcpy(bytes_.data() + position_, buffer, size);
    position_ += size;
    return size;
  }
  bool Close() override { return true; }

 private:
  std::vector<unsigned char>& bytes_;
  bool writable_;
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<cals::OpenFile> MemoryHeaderFile::OpenForRead(const std::u16string&) {
  return std::make_unique<MemoryFile>(bytes_, false);
}

std::unique_ptr<cals::OpenFile> MemoryHeaderFile::OpenForUpdate(const std::u16string&) {
  return std::make_unique<MemoryFile>(bytes_, true);
}

}  // namespace calsvar
