#include <comdef.h>

#include <new>
#include <string>

#include "convert/format_date.h"
#include "convert/windows/ole_handles.h"
#include "convert/str.h"
#include "convert/windows/variant_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "text inside the system is UTF-16 on Windows");

namespace convert {
namespace {

// The characters of `source` up to its first zero, through a fresh BSTR as
// the platform copies strings; a null BSTR is empty text.
std::wstring CopyUpToFirstZero(BSTR source) {
  if (source == nullptr) return {};
  const UniqueBstr copy(SysAllocString(source));
  if (copy.get() == nullptr) throw _com_error(E_OUTOFMEMORY);
  return std::wstring(copy.get());
}

// The platform's coercion to a string, with no flags and no locale of our
// own. The value itself is only read: a copy is converted.
std::wstring ConvertGenerally(const VARIANT& value) {
  UniqueVariant copy;
  HRESULT hr = VariantCopy(copy.get(), const_cast<VARIANT*>(&value));
  if (FAILED(hr)) throw _com_error(hr);
  if (V_VT(copy.get()) == VT_BSTR) return CopyUpToFirstZero(V_BSTR(copy.get()));

  UniqueVariant asText;
  hr = VariantChangeType(asText.get(), copy.get(), 0, VT_BSTR);
  if (FAILED(hr)) throw _com_error(hr);
  return CopyUpToFirstZero(V_BSTR(asText.get()));
}

}  // namespace

std::wstring VariantToText(const VARIANT& value, int dateStyle) {
  try {
    // Only a plain date takes the host's date style; a date by reference
    // goes the general way like every other value.
    if (V_VT(&value) == VT_DATE) {
      Str rendered;
      if (FormatDate(rendered, V_DATE(&value), dateStyle)) {
        const std::u16string& text = rendered.text();
        return std::wstring(text.begin(), text.end());
      }
    }
    return ConvertGenerally(value);
  } catch (const std::bad_alloc&) {
    throw _com_error(E_OUTOFMEMORY);
  }
}

}  // namespace convert
