#include "tools/calsvar/writing/code_page_check.h"

#include <windows.h>

#include "cals/surrogates.h"
#include "tools/calsvar/output/value_text.h"

namespace calsvar {
namespace {

// True when the code page holds these characters as they are: no default
// character used, and no best-fit look-alike (e.g. "a" for "ā") chosen.
bool FitsCodePage(std::u16string_view text) {
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  return length > 0 && !usedDefault;
}

}  // namespace

std::string WhyNotInAnsiCodePage(std::u16string_view text) {
  // UTF-8 as the system code page holds every character; the flags above
  // are not allowed with it.
  if (GetACP() == CP_UTF8 || FitsCodePage(text)) return {};
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t units = cals::IsSurrogatePairAt(text, at) ? 2 : 1;
    if (!FitsCodePage(text.substr(at, units))) {
      CPINFO info{};
      const char fallback = GetCPInfo(CP_ACP, &info) ? static_cast<char>(info.DefaultChar[0]) : '?';
      return "it holds " + CharacterForMessage(text, at) + " at character " + std::to_string(at + 1) +
             ", which the ANSI code page " + std::to_string(GetACP()) + " cannot hold: the file would get '" +
             std::string(1, fallback) + "' instead";
    }
    at += units;
  }
  return {};
}

}  // namespace calsvar
