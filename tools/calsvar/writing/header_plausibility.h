// calsvar's own quick test of whether a file's first bytes look like a
// CALS header before it writes one into them: a renamed picture or text
// file of 2,048 bytes or more loads through the plug-in too, and a save
// would write records over its first 1,408 bytes. This is no conformance
// check; it only keeps set from writing into what is plainly something
// else.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace calsvar {

// Empty when the bytes look like a CALS header; else why not, in words
// for a person. A header looks so when
//   - some record among the first 11 is "rpelcnt" (any case) with a value
//     of two readable numbers: digits, a comma, digits (blanks around
//     each allowed), and
//   - no byte of the first 1,408 is below 0x20 other than CR, LF and TAB;
//     NUL bytes that end a record's text or pad it after its text are no
//     objection.
std::string WhyNotCalsLooking(std::span<const unsigned char> header);

// The same judgement from the plug-in's answers, where calsvar reads no
// header of its own: `pictureSize` is what rpelcnt gives (empty: no such
// variable), `values` the variables read, by name. Control characters are
// seen only in the values read, not in the rest of the header.
std::string WhyValuesNotCalsLooking(const std::optional<std::u16string>& pictureSize,
                                    const std::vector<std::pair<std::u16string, std::u16string>>& values);

}  // namespace calsvar
