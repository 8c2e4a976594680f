// Values as calsvar shows and checks them: one line per variable in text
// output, characters named so that a person can find them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calsvar {

// A character that a terminal may take as a command rather than show: the
// C0 controls (below U+0020), DEL (U+007F) and the C1 controls (U+0080 to
// U+009F), which some terminals obey as escape sequences.
bool IsTerminalControl(char16_t c);

// The text with "\" as "\\", tab as "\t", CR as "\r", LF as "\n" and
// every other terminal control as "\xHH" (ESC as "\x1B"), so that a value
// never breaks the line it is shown on nor drives the terminal. UTF-8.
std::string EscapedForLine(std::u16string_view text);

// UTF-8 text for a terminal with every control but tab and LF as "\xHH":
// the last guard of the console, for paths and messages that were not
// escaped as values are.
std::string WithoutTerminalControls(std::string_view utf8);

// The index of the first control character (U+0000 to U+001F, U+007F).
std::optional<std::size_t> FirstControlCharacter(std::u16string_view text);

// The character at `at` (a surrogate pair as one) for a message: "'é'
// (U+00E9)", or for an invisible one its name: "a line feed (U+000A)".
std::string CharacterForMessage(std::u16string_view text, std::size_t at);

// In double quotes, escaped as for a line and with a quote as \".
std::string QuotedForMessage(std::u16string_view text);

}  // namespace calsvar
