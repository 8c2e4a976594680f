#include "cals/std_file_opener.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cals/stdio_file.h"
#ifdef _WIN32
#include "cals/win_utf16.h"
#else
#include "cals/utf8.h"
#endif

namespace cals {
namespace {

std::unique_ptr<OpenFile> Open(const std::u16string& path, const char* mode) {
  if (!IsOpenablePath(path)) return nullptr;
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return AdoptStdioFile(_wfopen(ToWide(path).c_str(), wideMode.c_str()));
#else
  return AdoptStdioFile(std::fopen(ToUtf8(path).c_str(), mode));
#endif
}

}  // namespace

std::unique_ptr<OpenFile> StdFileOpener::OpenForRead(const std::u16string& path) { return Open(path, "rb"); }

std::unique_ptr<OpenFile> StdFileOpener::OpenForUpdate(const std::u16string& path) { return Open(path, "r+b"); }

std::u16string StdFileOpener::FullPath(const std::u16string& path) {
  if (!IsOpenablePath(path)) return path;
#ifndef _WIN32
  // Already absolute: std::filesystem would hand it back unchanged, after
  // two conversions that cost more than the header read itself.
  if (path.front() == u'/') return path;
#endif
  try {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? path : full.u16string();
  } catch (const std::exception&) {
    // Text the platform's paths cannot hold: opened, or refused, as given.
    return path;
  }
}

}  // namespace cals
