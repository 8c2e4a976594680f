// The text rules shared by the header reader, the tag model and tag value
// access: which characters count as white space, and how names are
// lower-cased.
#pragma once

#include <string>
#include <string_view>

namespace cals {

// White space as the Unicode White_Space property has it: tab, line feed,
// vertical tab, form feed, carriage return, space, next line, no-break space
// and the wide spaces and separators of the U+1680, U+2000 and U+3000
// blocks. Trimming of records and values uses this one set throughout.
bool IsWhiteSpace(char16_t c);

std::u16string_view TrimRight(std::u16string_view text);
std::u16string_view Trim(std::u16string_view text);

// Simple one-to-one lower-casing of ASCII, Latin-1 and Latin Extended-A:
// every upper-case letter that an 8-bit Western code page can produce.
// Other characters are left as they are, so the length never changes.
char16_t ToLower(char16_t c);
std::u16string ToLower(std::u16string_view text);
// ToLower(text) == lower, without making the lower-cased copy.
bool LowersTo(std::u16string_view text, std::u16string_view lower);

}  // namespace cals
