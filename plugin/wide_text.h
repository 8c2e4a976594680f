// The host's strings are UTF-16 wchar_t text (BSTRs and plain pointers);
// the tag model keeps char16_t text. On Windows both are the same 16-bit
// code units, so conversion is a copy.
#pragma once

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

// A host string as tag-model text; a null pointer (a null BSTR) is empty.
inline std::u16string ToTagText(const wchar_t* text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

inline const wchar_t* AsWide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string ToTagText(const std::wstring& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}
