// What set and set --from both show of one file written: the records the
// save rewrites, and what calsvar check newly finds in the saved header.
#pragma once

#include <string>
#include <string_view>

#include "tools/calsvar/output/console.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/plugin/plugin_write.h"

namespace calsvar {

// One line "record N<TAB>old<TAB>new" per record rewritten, after `lead`.
void ShowRecordLines(Console& console, const FileWriteOutcome& outcome, std::string_view lead = {});

// "records": [{"record": N, "old": ..., "new": ...}] and "findingsAdded":
// [{"severity": ..., "finding": ...}], each only when there is one.
void AddSaveEffectsJson(JsonWriter& json, const FileWriteOutcome& outcome);

// On stderr, what calsvar check would newly find in the saved header.
void ShowFindingsAdded(Console& console, const std::string& file, const FileWriteOutcome& outcome);

}  // namespace calsvar
