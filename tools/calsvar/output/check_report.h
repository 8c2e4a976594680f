// What calsvar check prints for a file it judged: one line per finding, or
// "FILE<TAB>ok"; with --json one object per file; and the summary of a run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cals/conformance/file_check.h"

namespace calsvar {

enum class Verdict { kOk, kWarnings, kErrors };

Verdict VerdictOf(const cals::conformance::FileReport& report);

// "FILE<TAB>error<TAB>what, where" per finding, or "FILE<TAB>ok".
std::vector<std::string> CheckLines(std::u16string_view file, const cals::conformance::FileReport& report);

// {"file": ..., "result": "ok"|"warnings"|"errors", "width": ..., "height": ...,
//  "linesDecoded": ..., "bytes": ..., "findings": [{"severity": ..., "message": ...,
//  "record": ..., "offset": ..., "line": ...}]}; record, offset and line only where known.
std::string CheckJson(std::u16string_view file, const cals::conformance::FileReport& report);

// A file that could not be read: counted with the errors.
std::string UnreadableLine(std::u16string_view file, std::string_view reason);
std::string UnreadableJson(std::u16string_view file, std::string_view reason);

class CheckTally {
 public:
  void Count(Verdict verdict);
  // "N files: A ok, B with warnings, C with errors".
  std::string Summary() const;

 private:
  int ok_ = 0;
  int warnings_ = 0;
  int errors_ = 0;
};

}  // namespace calsvar
