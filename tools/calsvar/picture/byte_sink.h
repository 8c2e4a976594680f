// Where the bytes of a written picture go: a file, or memory (a thumbnail
// put into a web page as data).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <vector>

namespace calsvar::picture {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be written.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
};

class MemorySink final : public ByteSink {
 public:
  bool Write(std::span<const std::uint8_t> bytes) override {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return true;
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// A C library file, opened by `open` at the first write, so that nothing
// is created for a picture that is never written; closed by Close or the
// destructor.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(std::function<std::FILE*()> open) : open_(std::move(open)) {}
  ~FileSink() override { Close(); }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool Write(std::span<const std::uint8_t> bytes) override {
    if (file_ == nullptr && !failed_) {
      file_ = open_();
      failed_ = file_ == nullptr;
    }
    if (failed_) return false;
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    return !failed_;
  }
  // False when a write or the close failed (or the file never opened).
  bool Close() {
    if (file_ != nullptr) {
      failed_ = std::fclose(file_) != 0 || failed_;
      file_ = nullptr;
    }
    return !failed_;
  }

 private:
  std::function<std::FILE*()> open_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

}  // namespace calsvar::picture
