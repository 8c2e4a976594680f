// The files a benchmark driver works on: a folder (its CALS files, in all
// subfolders, in name order, picked by the format's extensions as the
// plug-in's host does), "@LIST", a text file with one path per line, or a
// single file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// Throws std::runtime_error when the folder or list cannot be read.
std::vector<std::filesystem::path> CorpusFiles(const std::filesystem::path& operand);

}  // namespace bench
