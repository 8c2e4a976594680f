// Values as calsvar shows and checks them: one line per variable in text
// output, characters named so that a person can find them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calsvar {

// The text with "\" as "\\", tab as "\t", CR as "\r" and LF as "\n", so
// that a value never breaks the line it is shown on. UTF-8.
std::string EscapedForLine(std::u16string_view text);

// The index of the first control character (U+0000 to U+001F, U+007F).
std::optional<std::size_t> FirstControlCharacter(std::u16string_view text);

// The character at `at` (a surrogate pair as one) for a message: "'é'
// (U+00E9)", or for an invisible one its name: "a line feed (U+000A)".
std::string CharacterForMessage(std::u16string_view text, std::size_t at);

// In double quotes, escaped as for a line and with a quote as \".
std::string QuotedForMessage(std::u16string_view text);

}  // namespace calsvar
