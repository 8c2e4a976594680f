// Fuzzes the printf-style formatter with any format against a fixed list of
// arguments: it renders or refuses with std::invalid_argument, nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "convert/printf_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string format;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    format.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const FormatArg args[] = {-1, u"Mars", 2024, u"", 0, -2147483647 - 1, u"PM"};
  try {
    const std::u16string out = RenderPrintf(format, args);
    // Every directive is bounded: no output can outgrow its format by more
    // than the widest field per argument and the texts themselves.
    if (out.size() > format.size() + std::size(args) * 1100) std::abort();
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
