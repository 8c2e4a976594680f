// The path by which a table names a file: full, so that "set --from"
// reaches the same file from any folder, whichever folder "get" ran in.
#pragma once

#include <string>

namespace calsvar {

// The full path of `path` (GetFullPathNameW: the current folder and drive
// put in front, "." and ".." resolved); under ./calsvar in the Unix form
// its shell uses (shown_paths.h). The path as given when it has no full
// form.
std::u16string FullPathForTable(const std::wstring& path);

}  // namespace calsvar
