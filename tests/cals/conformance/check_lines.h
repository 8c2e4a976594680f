// The check's findings as the lines calsvar prints after the file name:
// "error<TAB>what, where".
#pragma once

#include <string>
#include <vector>

#include "cals/conformance/file_check.h"

namespace conformance_test {

inline std::vector<std::string> CheckLines(const cals::conformance::FileReport& report) {
  std::vector<std::string> lines;
  for (const cals::conformance::Finding& finding : report.findings) {
    lines.push_back(std::string(cals::conformance::SeverityWord(finding.severity)) + "\t" +
                    cals::conformance::FindingText(finding));
  }
  return lines;
}

inline std::vector<std::string> CheckLines(const std::string& file) {
  cals::conformance::MemorySource source(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  return CheckLines(cals::conformance::CheckFile(source));
}

}  // namespace conformance_test
