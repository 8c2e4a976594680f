#include "tools/calsvar/tables/csv_table.h"

#include <algorithm>

#include "cals/utf8.h"

namespace calsvar {
namespace {

bool NeedsQuotes(std::u16string_view cell, char16_t separator) {
  return cell.find_first_of(u"\"\r\n") != std::u16string_view::npos || cell.find(separator) != std::u16string_view::npos;
}

bool AllEmpty(const std::vector<std::u16string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::u16string& c) { return c.empty(); });
}

}  // namespace

std::string SeparatorName(char16_t separator) {
  if (separator == u'\t') return "tabs";
  return "\"" + cals::ToUtf8(std::u16string(1, separator)) + "\"";
}

std::u16string CellForSpreadsheet(std::u16string_view value) {
  const bool mark = !value.empty() && std::u16string_view(u"=+-@\t\r'").find(value.front()) != std::u16string_view::npos;
  return (mark ? u"'" : u"") + std::u16string(value);
}

std::u16string_view ValueOfCell(std::u16string_view cell) {
  if (!cell.empty() && cell.front() == u'\'') cell.remove_prefix(1);
  return cell;
}

std::string CsvRow(const std::vector<std::u16string>& cells, char16_t separator) {
  std::u16string row;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) row += separator;
    const std::u16string cell = CellForSpreadsheet(cells[i]);
    if (!NeedsQuotes(cell, separator)) {
      row += cell;
      continue;
    }
    std::u16string quoted = u"\"";
    for (char16_t c : cell) {
      if (c == u'"') quoted += u'"';
      quoted += c;
    }
    quoted += u'"';
    row += quoted;
  }
  return cals::ToUtf8(row + u"\r\n");
}

CsvParse ParseCsv(std::u16string_view text, char16_t separator, std::size_t maxRecords) {
  CsvParse parse;
  std::size_t line = 1;
  std::size_t i = 0;
  const auto fail = [&](std::size_t at, const std::string& what) {
    parse.records.clear();
    parse.error = "line " + std::to_string(at) + ": " + what;
    return parse;
  };
  while (i < text.size() && parse.records.size() < maxRecords) {
    CsvRecord record{line, {}};
    for (;;) {  // one cell per turn
      std::u16string cell;
      if (i < text.size() && text[i] == u'"') {
        const std::size_t opened = line;
        ++i;
        for (;;) {
          if (i >= text.size()) return fail(opened, "a quoted cell is never closed");
          const char16_t c = text[i++];
          if (c == u'"') {
            if (i < text.size() && text[i] == u'"') {
              cell += u'"';
              ++i;
              continue;
            }
            break;
          }
          if (c == u'\n' || (c == u'\r' && (i >= text.size() || text[i] != u'\n'))) ++line;
          cell += c;
        }
        if (i < text.size() && text[i] != separator && text[i] != u'\r' && text[i] != u'\n') {
          return fail(line, "text follows the closing quote of a cell; a quote inside a cell is written twice");
        }
      } else {
        while (i < text.size() && text[i] != separator && text[i] != u'\r' && text[i] != u'\n') {
          if (text[i] == u'"') return fail(line, "a double quote inside a cell that does not begin with one");
          cell += text[i++];
        }
      }
      record.cells.push_back(std::move(cell));
      if (i < text.size() && text[i] == separator) {
        ++i;
        continue;
      }
      break;
    }
    // The row's end: CRLF, LF, CR, or the end of the text.
    if (i < text.size() && text[i] == u'\r') ++i;
    if (i < text.size() && text[i] == u'\n') ++i;
    ++line;
    if (!AllEmpty(record.cells)) parse.records.push_back(std::move(record));
  }
  return parse;
}

}  // namespace calsvar
