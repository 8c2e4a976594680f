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
  void Count(WriteStatus status) { ++counts_[static_cast<std::size_t>(status)]; }

  // "N files: A saved, B unchanged, C refused, D failed", then "; " and
  // `note` when there is one, and in a dry run "; dry run: W would be
  // saved, no byte written".
  std::string Summary(bool dryRun, std::string_view note = {}) const;

 private:
  std::array<std::size_t, 5> counts_{};
};

}  // namespace calsvar
