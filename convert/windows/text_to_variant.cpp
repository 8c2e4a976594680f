#include "convert/windows/ole_handles.h"
#include "convert/windows/variant_text.h"

namespace convert {

bool TextToVariant(VARIANT& value, const wchar_t* text) noexcept {
  VariantClear(&value);
  // Empty also when VariantClear refused an unknown type: the old content
  // is replaced either way, and a failure below must leave VT_EMPTY.
  VariantInit(&value);

  // The first copy ends at the terminating zero; the host gets a second of
  // exactly its byte length. A null text stays a null BSTR.
  const UniqueBstr first(SysAllocString(text));
  if (first.get() == nullptr) {
    if (text != nullptr) return false;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = nullptr;
    return true;
  }
  BSTR handedOut = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(first.get()), SysStringByteLen(first.get()));
  if (handedOut == nullptr) return false;

  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = handedOut;
  return true;
}

}  // namespace convert
