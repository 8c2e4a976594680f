// A sub-tag is a fixed character range of its tag's value; these read it
// out of a value and splice new text into it. Positions before 1 do not
// exist: a range that starts there covers only its positions from 1 on, so
// nothing outside the value is ever read or written.
#pragma once

#include <string>
#include <string_view>

#include "cals/tag_model.h"

namespace cals {

// The range's characters (fewer when the value ends earlier), without
// trailing white space; empty when the value ends before the range.
std::u16string ReadSubTagField(std::u16string_view value, const SubTag& subTag);

// The value with the range replaced by `text`, cut or space-padded to the
// range's width; a value too short for the range is padded with spaces
// first. Trailing white space of the result is removed.
std::u16string WriteSubTagField(std::u16string_view value, const SubTag& subTag, std::u16string_view text);

}  // namespace cals
