// Host values to header text and back.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace convert {

// A VT_DATE (exactly) renders with FormatDate in `dateStyle`; every other
// value, and a zero date, through the platform's coercion to a string. The
// text ends at the first zero character; a null BSTR gives empty text.
// Throws _com_error with the failing HRESULT when the value cannot be copied
// or cannot become text, and with E_OUTOFMEMORY when memory runs out; the
// value itself is never changed.
std::wstring VariantToText(const VARIANT& value, int dateStyle);

// Replaces `value` with a new VT_BSTR copy of `text` (empty text gives an
// empty, non-null BSTR; null gives a null BSTR). False, value VT_EMPTY, when
// memory runs out. Raises nothing.
bool TextToVariant(VARIANT& value, const wchar_t* text) noexcept;

}  // namespace convert
