// The style sheet and the script inside every report page.
#pragma once

namespace calsvar::report {

extern const char* const kReportStyle;
// Sorting by a column head (numbers where the head says data-sort=
// "number"; the key of a cell is its data-k, else its text), the filter
// box and verdict choice, and the larger picture on a click.
extern const char* const kReportScript;

}  // namespace calsvar::report
