// What a save would do to a header beyond the values asked: the records it
// rewrites (a record that moves, a name whose case changes, a spacing made
// regular), and what calsvar check would newly find in it. Both are held
// against the header as it is, so that a person sees every byte that
// changes, and a save never makes a file worse for other readers unasked.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cals/conformance/finding.h"
#include "cals/text_codec.h"

namespace calsvar {

struct RecordChange {
  int number = 0;  // 1 to 11
  std::u16string before;
  std::u16string after;
};

// The records among the first eleven whose bytes differ, each as text
// without the blanks that pad it.
std::vector<RecordChange> ChangedRecords(std::span<const unsigned char> before, std::span<const unsigned char> after,
                                         const cals::TextCodec& codec);

// The findings of calsvar check's header rules for `after` that `before`
// does not have. Where a finding stands is left out of the comparison: a
// finding that only moves with its record is not new.
std::vector<cals::conformance::Finding> FindingsAdded(std::span<const unsigned char> before,
                                                      std::span<const unsigned char> after);

}  // namespace calsvar
