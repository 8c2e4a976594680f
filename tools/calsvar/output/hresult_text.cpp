#include "tools/calsvar/output/hresult_text.h"

#include <cstdio>

#include "plugin/result_codes.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {

std::string HexCode(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::string DescribeHresult(HRESULT hr) {
  switch (hr) {
    case MIROTEX_E_CANNOT_OPEN:
      return "the file cannot be opened (it is missing, not readable, or another program is writing it)";
    case MIROTEX_E_TOO_SHORT:
      return "the file is too short to hold a CALS header (2048 bytes)";
    case E_FAIL:
      return "the tag configuration could not be located, or it refused a record of this file";
    case E_OUTOFMEMORY:
      return "out of memory";
    case E_POINTER:
      return "a required pointer was missing";
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
      return "the plug-in is not registered";
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"an unknown error";
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
    message.pop_back();
  }
  // Inserts are not filled in ("%1 is not a valid Win32 application"): the
  // message is said of the file named before it.
  for (std::size_t at = message.find(L"%1"); at != std::wstring::npos; at = message.find(L"%1", at)) {
    message.replace(at, 2, L"the file");
  }
  return Utf8(message);
}

}  // namespace calsvar
