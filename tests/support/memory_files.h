// Files held in memory, with the failures a real disk can produce on
// demand: an open that fails, a write that stops short, a close whose
// flush fails. Counts open handles so that tests can see every way out of
// an operation close its file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cals/memory_file.h"

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
  class File final : public cals::MemoryFile {
   public:
    File(MemoryFiles& owner, Bytes& bytes, bool writable)
        : MemoryFile(bytes, writable), owner_(owner), handles_(owner.openHandles_) {
      ++*handles_;
    }
    ~File() override {
      if (open_) --*handles_;
    }
    bool Close() override {
      if (!open_) return false;
      open_ = false;
      --*handles_;
      return !owner_.failClose;
    }

   private:
    std::size_t Admit(std::size_t size) override {
      const std::size_t count = std::min(size, owner_.writeBudget);
      owner_.writeBudget -= count;
      return count;
    }

    MemoryFiles& owner_;
    std::shared_ptr<int> handles_;
    bool open_ = true;
  };

  std::shared_ptr<int> openHandles_ = std::make_shared<int>(0);
  int updateOpens_ = 0;
};

}  // namespace testing_support
