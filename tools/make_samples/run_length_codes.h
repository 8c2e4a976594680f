// The run-length code words of the facsimile standard (ITU-T T.4, used by
// T.6 horizontal mode): terminating codes for 0 to 63 pixels, make-up codes
// for multiples of 64 up to 1728, and the make-up codes from 1792 to 2560
// that white and black share. The words themselves live in the portable
// core (cals/conformance), whose raster decoder reads the same ones.
#pragma once

#include <string_view>
#include <vector>

namespace samples {

enum class Colour { kWhite, kBlack };

// Code words as text of '0' and '1', first bit first.
std::string_view TerminatingCode(Colour colour, int run);  // run 0..63
std::string_view MakeUpCode(Colour colour, int run);       // run 64..2560, multiple of 64

// The code words that encode one run: make-up codes (2560 as often as
// needed, then one more if the rest is 64 or more) and one terminating code.
std::vector<std::string_view> RunCodes(Colour colour, int run);

}  // namespace samples
