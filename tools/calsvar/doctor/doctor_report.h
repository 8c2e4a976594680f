// What calsvar doctor found: one result per check, in the order the checks
// ran, each "ok", "warning" or "error" with what was checked and what was
// found (and, when it is not ok, how to fix it).
#pragma once

#include <string>
#include <vector>

namespace calsvar {

enum class CheckStatus { kOk, kWarning, kError };

struct CheckResult {
  CheckStatus status = CheckStatus::kOk;
  std::string checked;  // UTF-8
  std::string found;    // UTF-8; for a warning or an error also the fix
};

class DoctorReport {
 public:
  void Ok(std::string checked, std::string found) { Add(CheckStatus::kOk, std::move(checked), std::move(found)); }
  void Warning(std::string checked, std::string found) {
    Add(CheckStatus::kWarning, std::move(checked), std::move(found));
  }
  void Error(std::string checked, std::string found) {
    Add(CheckStatus::kError, std::move(checked), std::move(found));
  }
  void Add(CheckStatus status, std::string checked, std::string found);

  const std::vector<CheckResult>& results() const { return results_; }
  int Count(CheckStatus status) const;
  bool HasErrors() const { return Count(CheckStatus::kError) > 0; }

 private:
  std::vector<CheckResult> results_;
};

// "ok", "warning", "error".
const char* StatusWord(CheckStatus status);

// "ok|warning|error<TAB>checked<TAB>found"; tabs and line breaks inside
// the texts become blanks, so that every result stays one line of three
// fields.
std::string ResultLine(const CheckResult& result);

// "N checks: A ok, B warnings, C errors".
std::string SummaryLine(const DoctorReport& report);

// {"checks": [{"status": ..., "checked": ..., "found": ...}],
//  "summary": {"checks": N, "ok": A, "warnings": B, "errors": C}}
std::string ReportJson(const DoctorReport& report);

}  // namespace calsvar
