#include "tools/calsvar/tables/csv_table.h"

#include <algorithm>

#include "cals/utf8.h"

namespace calsvar {
namespace {

bool NeedsQuotes(std::u16string_view cell) {
  return cell.find_first_of(u",\"\r\n") != std::u16string_view::npos;
}

bool AllEmpty(const std::vector<std::u16string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::u16string& c) { return c.empty(); });
}

}  // namespace

std::string CsvRow(const std::vector<std::u16string>& cells) {
  std::string row;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) row += ',';
    if (!NeedsQuotes(cells[i])) {
      row += cals::ToUtf8(cells[i]);
      continue;
    }
    std::u16string quoted = u"\"";
    for (char16_t c : cells[i]) {
      if (c == u'"') quoted += u'"';
      quoted += c;
    }
    quoted += u'"';
    row += cals::ToUtf8(quoted);
  }
  return row + "\r\n";
}

CsvParse ParseCsv(std::u16string_view text) {
  CsvParse parse;
  std::size_t line = 1;
  std::size_t i = 0;
  const auto fail = [&](std::size_t at, const std::string& what) {
    parse.records.clear();
    parse.error = "line " + std::to_string(at) + ": " + what;
    return parse;
  };
  while (i < text.size()) {
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
        if (i < text.size() && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
          return fail(line, "text follows the closing quote of a cell; a quote inside a cell is written twice");
        }
      } else {
        while (i < text.size() && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
          if (text[i] == u'"') return fail(line, "a double quote inside a cell that does not begin with one");
          cell += text[i++];
        }
      }
      record.cells.push_back(std::move(cell));
      if (i < text.size() && text[i] == u',') {
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
