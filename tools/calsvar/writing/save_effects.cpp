#include "tools/calsvar/writing/save_effects.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "cals/conformance/header_rules.h"
#include "cals/header_layout.h"

namespace calsvar {
namespace {

std::string_view Record(std::span<const unsigned char> header, std::size_t index) {
  const std::size_t start = std::min(header.size(), index * cals::kRecordSize);
  const std::size_t end = std::min(header.size(), start + cals::kRecordSize);
  return {reinterpret_cast<const char*>(header.data()) + start, end - start};
}

// Zero bytes are kept as characters, so that a record padded with them
// shows so, and nothing after them is lost.
std::u16string RecordText(std::string_view bytes, const cals::TextCodec& codec) {
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  std::u16string text;
  for (;;) {
    const std::size_t zero = bytes.find('\0');
    text += codec.Decode(bytes.substr(0, zero));
    if (zero == std::string_view::npos) return text;
    text += u'\0';
    bytes.remove_prefix(zero + 1);
  }
}

}  // namespace

std::vector<RecordChange> ChangedRecords(std::span<const unsigned char> before, std::span<const unsigned char> after,
                                         const cals::TextCodec& codec) {
  std::vector<RecordChange> changes;
  for (std::size_t i = 0; i * cals::kRecordSize < cals::kWrittenSize; ++i) {
    const std::string_view old = Record(before, i);
    const std::string_view now = Record(after, i);
    if (old == now) continue;
    changes.push_back(RecordChange{static_cast<int>(i + 1), RecordText(old, codec), RecordText(now, codec)});
  }
  return changes;
}

std::vector<cals::conformance::Finding> FindingsAdded(std::span<const unsigned char> before,
                                                      std::span<const unsigned char> after) {
  std::vector<cals::conformance::Finding> had = cals::conformance::CheckHeader(before).findings;
  std::vector<cals::conformance::Finding> added;
  for (cals::conformance::Finding& finding : cals::conformance::CheckHeader(after).findings) {
    const auto same = std::find_if(had.begin(), had.end(), [&](const cals::conformance::Finding& old) {
      return old.severity == finding.severity && old.message == finding.message;
    });
    if (same != had.end()) {
      had.erase(same);  // each finding of the old header excuses one of the new
    } else {
      added.push_back(std::move(finding));
    }
  }
  return added;
}

}  // namespace calsvar
