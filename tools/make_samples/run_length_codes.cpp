#include "tools/make_samples/run_length_codes.h"

#include <stdexcept>

#include "cals/conformance/fax_code_words.h"

namespace samples {
namespace {

cals::conformance::PelColour PelColourOf(Colour colour) {
  return colour == Colour::kWhite ? cals::conformance::PelColour::kWhite : cals::conformance::PelColour::kBlack;
}

constexpr int kLargestMakeUp = cals::conformance::kLargestMakeUp;

}  // namespace

std::string_view TerminatingCode(Colour colour, int run) {
  return cals::conformance::TerminatingCodeWord(PelColourOf(colour), run);
}

std::string_view MakeUpCode(Colour colour, int run) {
  return cals::conformance::MakeUpCodeWord(PelColourOf(colour), run);
}

std::vector<std::string_view> RunCodes(Colour colour, int run) {
  if (run < 0) throw std::out_of_range("negative run");
  std::vector<std::string_view> codes;
  while (run > kLargestMakeUp) {
    codes.push_back(MakeUpCode(colour, kLargestMakeUp));
    run -= kLargestMakeUp;
  }
  if (run >= 64) {
    codes.push_back(MakeUpCode(colour, run / 64 * 64));
    run %= 64;
  }
  codes.push_back(TerminatingCode(colour, run));
  return codes;
}

}  // namespace samples
