#include "plugin/variable_source.h"

bool IsCalsSource(BSTR sourceName) noexcept {
  const wchar_t* text = sourceName != nullptr ? sourceName : L"";
  // The host writes it as "CALS": equal by any comparison, and a locale-
  // aware one costs several microseconds for each of a load's variables.
  if (wcscmp(text, L"CALS") == 0) return true;
  return lstrcmpiW(text, L"CALS") == 0;
}
