#include "tools/calsvar/files/written_file.h"

#include "tools/calsvar/output/hresult_text.h"

namespace calsvar {
namespace {

constexpr std::size_t kPiece = 256 * 1024;

}  // namespace

std::string WhyNotWritten(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return "writing there is not permitted (access denied), or a folder of that name is in the way";
    case ERROR_PATH_NOT_FOUND:
      return "its folder does not exist";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is held by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "the disk is full";
    case ERROR_WRITE_PROTECT:
      return "the disk is write-protected";
    default: {
      const HRESULT hr = HRESULT_FROM_WIN32(code);
      return HexCode(hr) + ": " + DescribeHresult(hr);
    }
  }
}

WrittenFile::WrittenFile(std::wstring path)
    : path_(std::move(path)),
      temporary_(path_ + L"." + std::to_wstring(GetCurrentProcessId()) + L".partial"),
      file_(INVALID_HANDLE_VALUE) {}

WrittenFile::~WrittenFile() {
  if (opened_) {
    file_.Reset();
    DeleteFileW(temporary_.c_str());
  }
}

void WrittenFile::Fail(const char* doing) {
  if (error_.empty()) error_ = std::string(doing) + ": " + WhyNotWritten(GetLastError());
}

bool WrittenFile::Flush() {
  if (!error_.empty()) return false;
  if (!opened_) {
    file_ = cals::UniqueFile(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_.get() == INVALID_HANDLE_VALUE) {
      Fail("cannot be created");
      return false;
    }
    opened_ = true;
  }
  std::span<const std::uint8_t> rest(buffer_);
  while (!rest.empty()) {
    DWORD written = 0;
    if (!WriteFile(file_.get(), rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) || written == 0) {
      Fail("cannot be written");
      return false;
    }
    rest = rest.subspan(written);
  }
  buffer_.clear();
  return true;
}

bool WrittenFile::Write(std::span<const std::uint8_t> bytes) {
  if (!error_.empty()) return false;
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  return buffer_.size() < kPiece || Flush();
}

std::string WrittenFile::Commit() {
  if (!Flush()) return error_;
  const bool closed = CloseHandle(file_.Release()) != 0;
  if (!closed) {
    Fail("cannot be written");
    return error_;
  }
  if (!MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    Fail("cannot be put in place");
    return error_;
  }
  opened_ = false;
  return {};
}

}  // namespace calsvar
