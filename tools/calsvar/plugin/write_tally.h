// The summary line that a write over several files ends with, on stderr:
// "set --from", "set FOLDER" and set of several files give the same.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "tools/calsvar/plugin/plugin_write.h"

namespace calsvar {

class WriteTally {
 public:
  void Count(const FileWriteOutcome& outcome) {
    ++counts_[static_cast<std::size_t>(outcome.status)];
    sameNumbers_ += outcome.plan.SameNumbers();
  }

  // "N files: A saved, B unchanged, C refused, D failed", then "; " and
  // `note` when there is one, in a dry run "; dry run: W would be saved,
  // no byte written", and how many values were read as a number that lost
  // its leading zeros, when any was.
  std::string Summary(bool dryRun, std::string_view note = {}) const;

 private:
  std::array<std::size_t, 5> counts_{};
  std::size_t sameNumbers_ = 0;
};

}  // namespace calsvar
