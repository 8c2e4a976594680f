// Files held in memory, with the failures a real disk can produce on
// demand: an open that fails, a write that stops short, a close whose
// flush fails. Counts open handles so that tests can see every way out of
// an operation close its file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cals/file_access.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

class MemoryFiles final : public cals::FileOpener {
 public:
  std::map<std::u16string, Bytes> files;
  bool failOpenForUpdate = false;
  // Bytes that writes may still store; later bytes are refused.
  std::size_t writeBudget = SIZE_MAX;
  bool failClose = false;

  int openHandles() const { return *openHandles_; }
  int updateOpens() const { return updateOpens_; }

  std::unique_ptr<cals::OpenFile> OpenForRead(const std::u16string& path) override {
    const auto found = files.find(path);
    if (found == files.end()) return nullptr;
    return std::make_unique<File>(*this, found->second, false);
  }

  std::unique_ptr<cals::OpenFile> OpenForUpdate(const std::u16string& path) override {
    const auto found = files.find(path);
    if (found == files.end() || failOpenForUpdate) return nullptr;
    ++updateOpens_;
    return std::make_unique<File>(*this, found->second, true);
  }

 private:
  class File final : public cals::OpenFile {
   public:
    File(MemoryFiles& owner, Bytes& bytes, bool writable)
        : owner_(owner), bytes_(bytes), writable_(writable), handles_(owner.openHandles_) {
      ++*handles_;
    }
    ~File() override {
      if (open_) --*handles_;
    }
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
      const std::size_t count = std::min(size, owner_.writeBudget);
      owner_.writeBudget -= count;
      if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
      std::memcpy(bytes_.data() + position_, buffer, count);
      position_ += count;
      return count;
    }
    bool Close() override {
      if (!open_) return false;
      open_ = false;
      --*handles_;
      return !owner_.failClose;
    }

   private:
    MemoryFiles& owner_;
    Bytes& bytes_;
    bool writable_;
    std::shared_ptr<int> handles_;
    std::size_t position_ = 0;
    bool open_ = true;
  };

  std::shared_ptr<int> openHandles_ = std::make_shared<int>(0);
  int updateOpens_ = 0;
};

}  // namespace testing_support
