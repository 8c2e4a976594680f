#include "tools/calsvar/plugin/write_tally.h"

namespace calsvar {

std::string WriteTally::Summary(bool dryRun, std::string_view note) const {
  const auto count = [&](WriteStatus status) { return std::to_string(counts_[static_cast<std::size_t>(status)]); };
  std::size_t files = 0;
  for (const std::size_t n : counts_) files += n;
  std::string summary = std::to_string(files) + " files: " + count(WriteStatus::kSaved) + " saved, " +
                        count(WriteStatus::kUnchanged) + " unchanged, " + count(WriteStatus::kRefused) + " refused, " +
                        count(WriteStatus::kFailed) + " failed";
  if (!note.empty()) summary += "; " + std::string(note);
  if (dryRun) summary += "; dry run: " + count(WriteStatus::kWouldSave) + " would be saved, no byte written";
  if (sameNumbers_ > 0) {
    summary += "; " + std::to_string(sameNumbers_) + (sameNumbers_ == 1 ? " cell" : " cells") +
               " read as no change: the file's number without its leading zeros, as spreadsheets save numbers";
  }
  return summary;
}

}  // namespace calsvar
