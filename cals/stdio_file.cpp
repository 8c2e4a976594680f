#include "cals/stdio_file.h"

#include <limits>

namespace cals {
namespace {

struct StreamCloser {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

class StdioFile final : public OpenFile {
 public:
  explicit StdioFile(Stream stream) : stream_(std::move(stream)) {}

  // Also required by the C library between a read and a write on "r+b".
  bool Seek(std::int64_t offset) override {
    if (!stream_ || offset < 0) return false;
#ifdef _WIN32
    return _fseeki64(stream_.get(), offset, SEEK_SET) == 0;
#else
    if (offset > std::numeric_limits<long>::max()) return false;
    return std::fseek(stream_.get(), static_cast<long>(offset), SEEK_SET) == 0;
#endif
  }
  std::int64_t Tell() override {
    if (!stream_) return -1;
#ifdef _WIN32
    return _ftelli64(stream_.get());
#else
    return std::ftell(stream_.get());
#endif
  }
  std::int64_t Size() override {
    const std::int64_t position = Tell();
    if (position < 0 || !SeekEnd()) return -1;
    const std::int64_t size = Tell();
    return Seek(position) ? size : -1;
  }
  std::size_t Read(void* buffer, std::size_t size) override {
    return stream_ ? std::fread(buffer, 1, size, stream_.get()) : 0;
  }
  std::size_t Write(const void* buffer, std::size_t size) override {
    return stream_ ? std::fwrite(buffer, 1, size, stream_.get()) : 0;
  }
  bool Close() override {
    if (!stream_) return false;
    const bool flushed = std::fflush(stream_.get()) == 0;
    return std::fclose(stream_.release()) == 0 && flushed;
  }

 private:
  bool SeekEnd() {
#ifdef _WIN32
    return _fseeki64(stream_.get(), 0, SEEK_END) == 0;
#else
    return std::fseek(stream_.get(), 0, SEEK_END) == 0;
#endif
  }

  Stream stream_;
};

}  // namespace

bool IsOpenablePath(const std::u16string& path) {
  return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

std::unique_ptr<OpenFile> AdoptStdioFile(std::FILE* stream) {
  // Owned before anything else can fail, so that no way out leaks it.
  Stream owned(stream);
  if (!owned) return nullptr;
  return std::make_unique<StdioFile>(std::move(owned));
}

}  // namespace cals
