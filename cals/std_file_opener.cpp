#include "cals/std_file_opener.h"

#include <cstdio>
#include <limits>

#ifndef _WIN32
#include "cals/utf8.h"
#endif

namespace cals {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

class StdOpenFile final : public OpenFile {
 public:
  explicit StdOpenFile(FileHandle file) : file_(std::move(file)) {}

  bool Seek(std::int64_t offset) override {
    if (!file_ || offset < 0 || offset > std::numeric_limits<long>::max()) return false;
    return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0;
  }
  std::int64_t Tell() override { return file_ ? std::ftell(file_.get()) : -1; }
  std::size_t Read(void* buffer, std::size_t size) override {
    return file_ ? std::fread(buffer, 1, size, file_.get()) : 0;
  }
  std::size_t Write(const void* buffer, std::size_t size) override {
    return file_ ? std::fwrite(buffer, 1, size, file_.get()) : 0;
  }
  bool Close() override {
    if (!file_) return false;
    const bool flushed = std::fflush(file_.get()) == 0;
    return std::fclose(file_.release()) == 0 && flushed;
  }

 private:
  FileHandle file_;
};

std::unique_ptr<OpenFile> Open(const std::u16string& path, const char* mode) {
  if (path.empty() || path.find(u'\0') != std::u16string::npos) return nullptr;
#ifdef _WIN32
  const std::wstring widePath(path.begin(), path.end());
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  FileHandle file(_wfopen(widePath.c_str(), wideMode.c_str()));
#else
  FileHandle file(std::fopen(ToUtf8(path).c_str(), mode));
#endif
  if (!file) return nullptr;
  return std::make_unique<StdOpenFile>(std::move(file));
}

}  // namespace

std::unique_ptr<OpenFile> StdFileOpener::OpenForRead(const std::u16string& path) { return Open(path, "rb"); }

std::unique_ptr<OpenFile> StdFileOpener::OpenForUpdate(const std::u16string& path) { return Open(path, "r+b"); }

}  // namespace cals
