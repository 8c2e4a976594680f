// UTF-8 bytes from outside (tables, configuration files) as UTF-16 text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calsvar {

// Every invalid sequence (a stray continuation byte, a cut sequence, an
// overlong form, a surrogate, a code point above U+10FFFF) becomes U+FFFD;
// `firstInvalid`, when given, receives the byte offset of the first one,
// or stays empty when the bytes are valid UTF-8.
std::u16string DecodeUtf8(std::string_view bytes, std::optional<std::size_t>* firstInvalid = nullptr);

// The bytes without a leading UTF-8 byte-order mark.
std::string_view WithoutUtf8Bom(std::string_view bytes);

}  // namespace calsvar
