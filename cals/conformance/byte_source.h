// Where the bytes of a file come from, a piece at a time, so that a file of
// any size is checked in a buffer of fixed size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cals/file_access.h"

namespace cals::conformance {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The next bytes in file order; empty at the end. The span stays valid
  // until the next call.
  virtual std::span<const std::uint8_t> Next() = 0;
};

// Bytes already in memory, handed out as one piece.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::span<const std::uint8_t> Next() override {
    const std::span<const std::uint8_t> piece = bytes_;
    bytes_ = {};
    return piece;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// An open file read front to back in pieces of `pieceSize` bytes. A read
// that fails is taken as the end of the file.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(OpenFile& file, std::size_t pieceSize = 64 * 1024) : file_(file), buffer_(pieceSize) {}
  std::span<const std::uint8_t> Next() override {
    const std::size_t read = file_.Read(buffer_.data(), buffer_.size());
    return {buffer_.data(), read};
  }

 private:
  OpenFile& file_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace cals::conformance
