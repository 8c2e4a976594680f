#include "convert/windows/variant_text.h"

namespace convert {

bool TextToVariant(VARIANT& value, const wchar_t* text) noexcept {
  VariantClear(&value);
  // Empty also when VariantClear refused an unknown type: the old content
  // is replaced either way, and a failure below must leave VT_EMPTY.
  VariantInit(&value);

  // The copy ends at the terminating zero. A null text stays a null BSTR.
  BSTR handedOut = nullptr;
  if (text != nullptr) {
    handedOut = SysAllocString(text);
    if (handedOut == nullptr) return false;
  }

  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = handedOut;
  return true;
}

}  // namespace convert
