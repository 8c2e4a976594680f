#include "cals/windows/win_private_profile_tag_config.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "cals/win_utf16.h"

namespace cals {

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

}  // namespace cals
