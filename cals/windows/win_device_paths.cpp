#include "cals/windows/win_device_paths.h"

#include <algorithm>
#include <array>

namespace cals {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameAsciiText(std::wstring_view text, std::wstring_view upper) {
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(), [](wchar_t a, wchar_t b) { return AsciiUpper(a) == b; });
}

bool IsDriveLetter(wchar_t c) { return AsciiUpper(c) >= L'A' && AsciiUpper(c) <= L'Z'; }

// "\\.\" or "\\?\" (`marker` is the dot or the question mark), with
// either slash.
bool HasPrefix(std::wstring_view path, wchar_t marker) {
  return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == marker &&
         IsSeparator(path[3]);
}

// "\??\", the object manager's form, which the file functions also take.
bool HasObjectPrefix(std::wstring_view path) { return path.substr(0, 4) == L"\\??\\"; }

bool InDeviceNamespace(std::wstring_view path) {
  if (HasPrefix(path, L'.')) return true;
  if (!HasPrefix(path, L'?') && !HasObjectPrefix(path)) return false;
  // A long-path form of a file on a drive or a share.
  const std::wstring_view rest = path.substr(4);
  const bool drive = rest.size() >= 3 && IsDriveLetter(rest[0]) && rest[1] == L':' && IsSeparator(rest[2]);
  const bool share = rest.size() >= 4 && SameAsciiText(rest.substr(0, 3), L"UNC") && IsSeparator(rest[3]);
  return !drive && !share;
}

// The digit of COM1 or LPT1: 1 to 9 and the superscripts 1, 2 and 3.
bool IsPortDigit(wchar_t c) { return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3'; }

bool IsReservedName(std::wstring_view name) {
  static constexpr std::array<std::wstring_view, 6> kNames = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::any_of(kNames.begin(), kNames.end(), [&](std::wstring_view reserved) { return SameAsciiText(name, reserved); }))
    return true;
  return name.size() == 4 && (SameAsciiText(name.substr(0, 3), L"COM") || SameAsciiText(name.substr(0, 3), L"LPT")) &&
         IsPortDigit(name[3]);
}

}  // namespace

bool NamesDevice(std::wstring_view path) {
  if (InDeviceNamespace(path)) return true;

  // The last part of the path; in "C:nul" the part after the drive.
  const std::size_t separator = path.find_last_of(L"\\/");
  std::wstring_view name = separator == std::wstring_view::npos ? path : path.substr(separator + 1);
  if (separator == std::wstring_view::npos && name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == L':') {
    name.remove_prefix(2);
  }
  // Windows drops trailing dots and blanks from a name, then reads a device
  // name up to the first dot or colon, without the blanks before it.
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  name = name.substr(0, name.find_first_of(L".:"));
  while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
  return IsReservedName(name);
}

}  // namespace cals
