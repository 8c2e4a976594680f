// The run-length code words of facsimile coding (ITU-T T.4, used by the
// horizontal mode of T.6 "Group 4"): terminating codes for 0 to 63 pels,
// make-up codes for multiples of 64 up to 1728, and the make-up codes from
// 1792 to 2560 that white and black share. The sample generator's coder and
// the raster decoder both take their words from here.
#pragma once

#include <string_view>

namespace cals::conformance {

enum class PelColour { kWhite, kBlack };

inline constexpr int kLargestMakeUp = 2560;

// Code words as text of '0' and '1', first bit first. Throw
// std::out_of_range for a run that has no such word.
std::string_view TerminatingCodeWord(PelColour colour, int run);  // run 0..63
std::string_view MakeUpCodeWord(PelColour colour, int run);       // run 64..2560, multiple of 64

}  // namespace cals::conformance
