// Reading a file, or standard input, whole or up to a limit: the one loop
// behind calsvar's own reads of headers, tables and configuration files.
#pragma once

#include <windows.h>

#include <cstddef>
#include <limits>
#include <string>

#include "cals/windows/unique_file.h"

namespace calsvar {

// Opens for reading and lets other programs go on reading, writing and
// renaming the file meanwhile; INVALID_HANDLE_VALUE (GetLastError says
// why) when it cannot be opened.
cals::UniqueFile OpenForReading(const std::wstring& path);

// Why a file that calsvar reads itself could not be opened, in words.
std::string WhyUnreadable(const std::wstring& path);

// Appends what the handle gives up to `limit` bytes, or to its end. The
// writer closing a pipe is its end too. False on a read error.
bool ReadUpTo(HANDLE handle, std::string& bytes, std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace calsvar
