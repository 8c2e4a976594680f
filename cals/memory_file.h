// A file held in memory: reads and writes go to a byte vector that the
// caller owns, so that the header operations can work on a copy of a
// header without touching the disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "cals/file_access.h"

namespace cals {

class MemoryFile : public OpenFile {
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
    const std::size_t count = Admit(size);
    if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    return count;
  }
  bool Close() override { return true; }

 protected:
  // How many of `size` bytes a write may store: all of them here; a file
  // that stands in for a full disk stores fewer.
  virtual std::size_t Admit(std::size_t size) { return size; }

 private:
  std::vector<unsigned char>& bytes_;
  bool writable_;
  std::size_t position_ = 0;
};

}  // namespace cals
