#include "cals/win_share_deny_write_files.h"

#include <share.h>
#include <stdio.h>

#include "cals/win_utf16.h"

namespace cals {
namespace {

class CrtFile final : public OpenFile {
 public:
  explicit CrtFile(FILE* file) : file_(file) {}
  ~CrtFile() override {
    if (file_ != nullptr) fclose(file_);
  }
  CrtFile(const CrtFile&) = delete;
  CrtFile& operator=(const CrtFile&) = delete;

  // Also required by the C runtime between a read and a write on "r+b".
  bool Seek(std::int64_t offset) override {
    return file_ != nullptr && _fseeki64(file_, offset, SEEK_SET) == 0;
  }
  std::int64_t Tell() override { return file_ != nullptr ? _ftelli64(file_) : -1; }
  std::size_t Read(void* buffer, std::size_t size) override {
    return file_ != nullptr ? fread(buffer, 1, size, file_) : 0;
  }
  std::size_t Write(const void* buffer, std::size_t size) override {
    return file_ != nullptr ? fwrite(buffer, 1, size, file_) : 0;
  }
  bool Close() override {
    if (file_ == nullptr) return false;
    const int result = fclose(file_);
    file_ = nullptr;
    return result == 0;
  }

 private:
  FILE* file_;
};

std::unique_ptr<OpenFile> OpenShared(const std::u16string& path, const wchar_t* mode) {
  // The C runtime would stop at an embedded zero and open a different file
  // than the one named.
  if (path.empty() || path.find(u'\0') != std::u16string::npos) return nullptr;
  FILE* file = _wfsopen(ToWide(path).c_str(), mode, _SH_DENYWR);
  if (file == nullptr) return nullptr;
  return std::make_unique<CrtFile>(file);
}

}  // namespace

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForRead(const std::u16string& path) {
  return OpenShared(path, L"rb");
}

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForUpdate(const std::u16string& path) {
  return OpenShared(path, L"r+b");
}

}  // namespace cals
