// The table of "calsvar set --from": a CSV as "get --csv" writes it, or
// JSON lines as "get --json" writes them, told apart by their content.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

// A value the table asks for. Cells that leave a variable as it is (an
// empty CSV cell, a JSON null) are not in the table.
struct TableValue {
  std::u16string name;
  std::u16string text;
};

struct TableRow {
  std::size_t line = 0;  // where the row begins in the table, from 1
  std::u16string file;   // taken against the table's folder when relative
  std::vector<TableValue> values;
};

struct ImportTable {
  std::vector<TableRow> rows;
  std::string error;        // set when the table cannot be used; then no rows
  char16_t separator = u',';  // of a CSV: ",", ";" or tab
};

// `bytes` is the whole table, with or without a UTF-8 byte-order mark. A
// CSV's separator is the one of ",", ";" and tab with which its header
// line has a "file" column; each cell stands for its value without one
// leading "'" (csv_table.h).
// `folder` is the table's folder as it was named, ending in its separator
// ("" for the current folder and for standard input); relative paths of
// the "file" column are taken against it. Checked whole: text that is not
// UTF-8, not CSV and not JSON lines, a table without a "file" column, a
// column or variable named twice, a row without a file and one file named
// twice each give an error and no rows.
ImportTable ReadImportTable(std::string_view bytes, std::u16string_view folder);

// The part of a path up to and including its last "/" or "\\".
std::u16string FolderOf(std::u16string_view path);

// A path taken against a folder: unchanged when it is absolute ("/x",
// "\\x", "C:x", "C:\\x"), else the folder followed by the path.
std::u16string TakeAgainst(std::u16string_view folder, std::u16string_view path);

// The same text for two spellings of one path: case, separators, "."
// and "name/.." do not count.
std::u16string PathIdentity(std::u16string_view path);

}  // namespace calsvar
