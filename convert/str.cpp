#include "convert/str.h"

Str::Str(const char16_t* text) : text_(text != nullptr ? text : u"") {}

void Str::FormatList(const char16_t* format, std::span<const FormatArg> args) {
  // Rendered aside first, so that a failure leaves the old text in place.
  std::u16string rendered = RenderPrintf(format != nullptr ? format : u"", args);
  text_.swap(rendered);
}
