// A file that calsvar writes (a picture, a report page) whole or not at
// all: the bytes go to a temporary file beside it, which takes the file's
// place only once every byte is written. A failed or unfinished write
// leaves an existing file as it was.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cals/windows/unique_file.h"
#include "tools/calsvar/picture/byte_sink.h"

namespace calsvar {

class WrittenFile final : public picture::ByteSink {
 public:
  explicit WrittenFile(std::wstring path);
  ~WrittenFile() override;  // an uncommitted temporary file is removed
  WrittenFile(const WrittenFile&) = delete;
  WrittenFile& operator=(const WrittenFile&) = delete;

  bool Write(std::span<const std::uint8_t> bytes) override;
  // Puts the file in place. Empty when it is there, else why not, in words.
  std::string Commit();
  // Why the last write failed, in words; empty while all is well.
  const std::string& error() const { return error_; }

 private:
  bool Flush();
  void Fail(const char* doing);

  std::wstring path_;
  std::wstring temporary_;
  cals::UniqueFile file_;
  std::vector<std::uint8_t> buffer_;  // written in large pieces: each write is a system call
  std::string error_;
  bool opened_ = false;
};

// Why a file or folder could not be made, from GetLastError's code.
std::string WhyNotWritten(DWORD code);

}  // namespace calsvar
