// The first bytes of a file as calsvar reads them itself, beside the
// plug-in: to judge whether they look like a CALS header, to foresee a
// save, and to tell afterwards whether the header changed on disk.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace calsvar {

// Up to 2,048 bytes from the start (fewer when the file is shorter); empty
// when the file cannot be opened. Other programs may go on reading and
// writing the file meanwhile.
std::optional<std::vector<unsigned char>> ReadHeaderBytes(const std::wstring& path);

}  // namespace calsvar
