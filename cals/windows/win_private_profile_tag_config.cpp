#include "cals/windows/win_private_profile_tag_config.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cals/win_utf16.h"
#include "cals/windows/unique_file.h"

namespace cals {
namespace {

std::int64_t Ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// The attributes of the file that opening `path` leads to. Asked by name,
// a symbolic link (or any other reparse point) describes itself, and an
// edit of the file it leads to would go unseen. Opened for attributes
// only, sharing everything, so no reader or writer of the file is kept out.
bool TargetAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  const UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file.get(), &information)) return false;
  data.dwFileAttributes = information.dwFileAttributes;
  data.ftCreationTime = information.ftCreationTime;
  data.ftLastAccessTime = information.ftLastAccessTime;
  data.ftLastWriteTime = information.ftLastWriteTime;
  data.nFileSizeHigh = information.nFileSizeHigh;
  data.nFileSizeLow = information.nFileSizeLow;
  return true;
}

}  // namespace

int PrivateProfileTagConfig::ReadInt(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key, int defaultValue) {
  // The platform returns the signed number it parsed in an unsigned type.
  return static_cast<int>(GetPrivateProfileIntW(ToWide(section).c_str(), ToWide(key).c_str(), defaultValue,
                                                ToWide(file).c_str()));
}

std::u16string PrivateProfileTagConfig::ReadString(const std::u16string& file, const std::u16string& section,
                                                   const std::u16string& key,
                                                   const std::u16string& defaultValue, std::size_t capacity) {
  const DWORD size = static_cast<DWORD>(std::min<std::size_t>(capacity, MAXDWORD));
  if (size == 0) return {};
  // Left uninitialised: the buffer holds 32767 characters for two reads of
  // every record, and the platform writes only the text it copies and its
  // terminating zero, so clearing it first would cost more than the copy.
  const auto buffer = std::make_unique_for_overwrite<wchar_t[]>(size);
  const DWORD copied = GetPrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(),
                                                ToWide(defaultValue).c_str(), buffer.get(), size,
                                                ToWide(file).c_str());
  return ToUtf16(std::wstring_view(buffer.get(), std::min<DWORD>(copied, size - 1)));
}

ConfigFileIdentity PrivateProfileTagConfig::Identify(const std::u16string& file) {
  const std::wstring path = ToWide(file);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !TargetAttributes(path, data)) return {};
  ConfigFileIdentity identity;
  identity.known = true;
  identity.plainFile = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  identity.attributes = data.dwFileAttributes;
  identity.size = static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
  identity.created = Ticks(data.ftCreationTime);
  identity.lastWrite = Ticks(data.ftLastWriteTime);
  return identity;
}

std::int64_t PrivateProfileTagConfig::Now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Ticks(now);
}

}  // namespace cals
