// One thing the check has to say about a file, and where it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cals::conformance {

enum class Severity {
  kWarning,  // only the standard asks for it; readers take the file
  kError,    // common CALS readers refuse the file, or its raster is not whole
};

struct Finding {
  Severity severity = Severity::kWarning;
  std::string message;                // what, in plain words
  std::optional<int> record;          // 1 to 16
  std::optional<std::int64_t> offset; // byte offset in the file
  std::optional<std::int64_t> line;   // raster line, 1 the first
};

// "what, where": the message, then the record and byte offset where they
// are known (a raster line is named in the message itself).
std::string FindingText(const Finding& finding);

const char* SeverityWord(Severity severity);  // "error", "warning"

bool HasErrors(const std::vector<Finding>& findings);

}  // namespace cals::conformance
