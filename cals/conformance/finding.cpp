#include "cals/conformance/finding.h"

#include <algorithm>

namespace cals::conformance {

std::string FindingText(const Finding& finding) {
  std::string text = finding.message;
  if (finding.record) text += ", record " + std::to_string(*finding.record);
  if (finding.offset) text += ", byte " + std::to_string(*finding.offset);
  return text;
}

const char* SeverityWord(Severity severity) { return severity == Severity::kError ? "error" : "warning"; }

bool HasErrors(const std::vector<Finding>& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Severity::kError; });
}

}  // namespace cals::conformance
