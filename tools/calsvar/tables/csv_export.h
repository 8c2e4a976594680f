// The table of "get --csv": one row per file, gathered until every file
// has given its names, then written as one CSV text.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace calsvar {

class CsvExport {
 public:
  // A file's row with its values in the file's order; a name not seen
  // before becomes a column. A file without values has only its path.
  void Add(std::u16string file, const std::vector<std::pair<std::u16string, std::u16string>>& values);

  // The column "file", then `askedNames` or, when none were asked, every
  // name in order of first appearance; an empty cell where a file lacks a
  // variable. Cells separated by `separator`, rows ended by CRLF.
  std::string Text(const std::vector<std::u16string>& askedNames, char16_t separator) const;

 private:
  std::vector<std::u16string> columns_;  // in order of first appearance
  std::vector<std::pair<std::u16string, std::map<std::u16string, std::u16string>>> rows_;
};

}  // namespace calsvar
