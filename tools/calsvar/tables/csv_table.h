// Tables as RFC 4180 has them: cells separated by commas, rows ended by
// CRLF, a cell in double quotes when it holds a comma, a quote or a line
// break, and a quote inside such a cell doubled.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

// One row in UTF-8 with its CRLF.
std::string CsvRow(const std::vector<std::u16string>& cells);

struct CsvRecord {
  std::size_t line = 0;  // where the row begins, from 1
  std::vector<std::u16string> cells;
};

struct CsvParse {
  std::vector<CsvRecord> records;
  std::string error;  // set when the text is no CSV: "line N: ..."
};

// Reads the whole text. Rows may end in CRLF, LF or CR, the last one also
// in nothing; a quoted cell may hold any of them. Rows of empty cells only
// (as spreadsheets leave below a table) are dropped.
CsvParse ParseCsv(std::u16string_view text);

}  // namespace calsvar
