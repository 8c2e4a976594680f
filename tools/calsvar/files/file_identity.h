// Which file a path names, whatever its spelling: Windows drops trailing
// dots and blanks, takes "\\?\" forms, 8.3 short names and relative or
// absolute forms of one path, and a hard link is one more name of a file.
// Only the file system can tell that two texts name one file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace calsvar {

struct FileIdentity {
  std::uint64_t volumeSerial = 0;
  std::array<unsigned char, 16> fileId{};  // a 64-bit file index fills the first 8 bytes
  bool operator==(const FileIdentity&) const = default;
  auto operator<=>(const FileIdentity&) const = default;
};

// The volume serial number and file ID (or file index) of the file (not a
// folder) that `path` names; empty when it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// Two positions in `paths` that name one file.
struct SameFile {
  std::size_t first = 0;
  std::size_t second = 0;
};

// The first path that names a file an earlier one names (each file opened
// once); empty when every file is named once. Paths that cannot be opened
// are passed over: their own load says why.
std::optional<SameFile> FirstFileNamedTwice(const std::vector<std::wstring>& paths);

}  // namespace calsvar
