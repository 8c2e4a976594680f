#include "plugin/variable_source.h"

bool IsCalsSource(BSTR sourceName) noexcept {
  const wchar_t* text = sourceName != nullptr ? sourceName : L"";
  return lstrcmpiW(text, L"CALS") == 0;
}
