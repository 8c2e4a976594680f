// Tables as RFC 4180 has them: cells separated by commas, rows ended by
// CRLF, a cell in double quotes when it holds the separator, a quote or a
// line break, and a quote inside such a cell doubled. Spreadsheets in
// German or French locales separate cells by ";" instead, and
// tab-separated text by tabs; the same rules hold for those.
//
// Cells are written so that a spreadsheet shows them as text: one that
// begins with "=", "+", "-", "@", a tab or a CR would be taken for a
// formula, so it gets a leading "'", the mark spreadsheets honour for
// text; one that begins with "'" gets one more. Reading takes one leading
// "'" off again, so that a value comes back byte for byte.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

// The separators a table may use, in the order they are tried.
inline constexpr char16_t kCsvSeparators[] = {u',', u';', u'\t'};

// "\",\"", "\";\"" or "tabs", for "cells separated by ...".
std::string SeparatorName(char16_t separator);

// The cell a value is written as (without CSV quoting): with a leading
// "'" when a spreadsheet would otherwise take it for a formula or drop
// its own leading "'".
std::u16string CellForSpreadsheet(std::u16string_view value);

// The value a cell stands for: the cell without one leading "'".
std::u16string_view ValueOfCell(std::u16string_view cell);

// One row in UTF-8 with its CRLF; each cell as CellForSpreadsheet gives it.
std::string CsvRow(const std::vector<std::u16string>& cells, char16_t separator = u',');

struct CsvRecord {
  std::size_t line = 0;  // where the row begins, from 1
  std::vector<std::u16string> cells;
};

struct CsvParse {
  std::vector<CsvRecord> records;
  std::string error;  // set when the text is no CSV: "line N: ..."
};

// Reads the text, up to `maxRecords` rows. Rows may end in CRLF, LF or
// CR, the last one also in nothing; a quoted cell may hold any of them.
// Rows of empty cells only (as spreadsheets leave below a table) are
// dropped. Cells are given as written, "'" and all.
CsvParse ParseCsv(std::u16string_view text, char16_t separator = u',',
                  std::size_t maxRecords = std::numeric_limits<std::size_t>::max());

}  // namespace calsvar
