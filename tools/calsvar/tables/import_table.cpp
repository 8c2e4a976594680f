#include "tools/calsvar/tables/import_table.h"

#include <algorithm>
#include <map>

#include "cals/text_rules.h"
#include "cals/utf8.h"
#include "tools/calsvar/tables/csv_table.h"
#include "tools/calsvar/tables/json_reader.h"
#include "tools/calsvar/output/utf8_text.h"

namespace calsvar {
namespace {

constexpr std::u16string_view kFileColumn = u"file";

ImportTable Unusable(std::string error) { return ImportTable{{}, std::move(error)}; }

std::string Quoted(std::u16string_view text) { return "\"" + cals::ToUtf8(text) + "\""; }

bool IsBlankLine(std::u16string_view line) {
  return std::all_of(line.begin(), line.end(), [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; });
}

bool HasFileColumn(const CsvRecord& head) {
  return std::any_of(head.cells.begin(), head.cells.end(),
                     [](const std::u16string& cell) { return cals::ToLower(ValueOfCell(cell)) == kFileColumn; });
}

// The separator of the header line that yields a "file" column: ",", else
// ";" (spreadsheets in German or French locales), else tab; "," when none
// does, so that the error names what is wrong with it.
char16_t SeparatorOf(std::u16string_view text) {
  for (const char16_t separator : kCsvSeparators) {
    const CsvParse head = ParseCsv(text, separator, 1);
    if (head.error.empty() && !head.records.empty() && HasFileColumn(head.records.front())) return separator;
  }
  return kCsvSeparators[0];
}

ImportTable FromCsv(std::u16string_view text, std::u16string_view folder) {
  const char16_t separator = SeparatorOf(text);
  CsvParse csv = ParseCsv(text, separator);
  if (!csv.error.empty()) return Unusable(csv.error);
  if (csv.records.empty()) return Unusable("the table is empty");
  const CsvRecord& head = csv.records.front();
  std::vector<std::u16string> names;
  std::size_t fileColumn = head.cells.size();
  for (std::size_t c = 0; c < head.cells.size(); ++c) {
    const std::u16string name(ValueOfCell(head.cells[c]));
    const std::u16string lower = cals::ToLower(name);
    if (lower.empty()) return Unusable("line 1: column " + std::to_string(c + 1) + " has no name");
    for (const std::u16string& seen : names) {
      if (cals::ToLower(seen) == lower) return Unusable("line 1: the column " + Quoted(name) + " is named twice");
    }
    names.push_back(name);
    if (lower == kFileColumn) fileColumn = c;
  }
  if (fileColumn == head.cells.size()) return Unusable("line 1: the table has no \"file\" column");

  ImportTable table;
  table.separator = separator;
  for (std::size_t r = 1; r < csv.records.size(); ++r) {
    const CsvRecord& record = csv.records[r];
    if (record.cells.size() > head.cells.size()) {
      return Unusable("line " + std::to_string(record.line) + ": " + std::to_string(record.cells.size()) +
                      " cells in a table of " + std::to_string(head.cells.size()) + " columns");
    }
    TableRow row{record.line, {}, {}};
    for (std::size_t c = 0; c < record.cells.size(); ++c) {
      // An empty cell asks for nothing; a cell of "'" alone asks for the
      // empty value.
      if (c == fileColumn) {
        row.file = ValueOfCell(record.cells[c]);
      } else if (!record.cells[c].empty()) {
        row.values.push_back(TableValue{names[c], std::u16string(ValueOfCell(record.cells[c]))});
      }
    }
    if (row.file.empty()) return Unusable("line " + std::to_string(record.line) + ": the \"file\" cell is empty");
    row.file = TakeAgainst(folder, row.file);
    table.rows.push_back(std::move(row));
  }
  return table;
}

// One line as "get --json" writes it: {"file": ..., "variables": [{"name":
// ..., "value": ...}]}; a value of null leaves the variable as it is, and
// a line with "error" instead of "variables" names a file without values.
std::string FromJsonLine(std::u16string_view line, TableRow& row) {
  std::string error;
  const auto value = ParseJson(line, error);
  if (!value) return error;
  if (value->kind != JsonValue::Kind::kObject) return "a line must hold one JSON object";
  const JsonValue* file = value->Member(kFileColumn);
  if (file == nullptr || file->kind != JsonValue::Kind::kString || file->text.empty()) {
    return "the object has no \"file\" with a path";
  }
  row.file = file->text;
  const JsonValue* variables = value->Member(u"variables");
  if (variables == nullptr) return {};
  if (variables->kind != JsonValue::Kind::kArray) return "\"variables\" must be an array";
  std::vector<std::u16string> seen;
  for (const JsonValue& item : variables->items) {
    const JsonValue* name = item.Member(u"name");
    const JsonValue* text = item.Member(u"value");
    if (name == nullptr || name->kind != JsonValue::Kind::kString || name->text.empty()) {
      return "a variable has no \"name\"";
    }
    const std::u16string lower = cals::ToLower(name->text);
    if (std::find(seen.begin(), seen.end(), lower) != seen.end()) return "the variable " + Quoted(name->text) + " is named twice";
    seen.push_back(lower);
    if (text == nullptr || text->kind == JsonValue::Kind::kNull) continue;
    if (text->kind != JsonValue::Kind::kString) return "the value of " + Quoted(name->text) + " must be a string or null";
    row.values.push_back(TableValue{name->text, text->text});
  }
  return {};
}

ImportTable FromJsonLines(std::u16string_view text, std::u16string_view folder) {
  ImportTable table;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find(u'\n');
    const std::u16string_view line = text.substr(0, end);
    text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
    if (IsBlankLine(line)) continue;
    TableRow row{lineNumber, {}, {}};
    const std::string error = FromJsonLine(line, row);
    if (!error.empty()) return Unusable("line " + std::to_string(lineNumber) + ": " + error);
    row.file = TakeAgainst(folder, row.file);
    table.rows.push_back(std::move(row));
  }
  if (table.rows.empty()) return Unusable("the table is empty");
  return table;
}

}  // namespace

ImportTable ReadImportTable(std::string_view bytes, std::u16string_view folder) {
  bytes = WithoutUtf8Bom(bytes);
  std::optional<std::size_t> invalid;
  const std::u16string text = DecodeUtf8(bytes, &invalid);
  if (invalid) {
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*invalid), '\n'));
    return Unusable("line " + std::to_string(line) +
                    ": the table is not UTF-8 text (a spreadsheet saves it so as \"CSV UTF-8\")");
  }
  const std::size_t first = text.find_first_not_of(u" \t\r\n");
  if (first == std::u16string::npos) return Unusable("the table is empty");
  ImportTable table = text[first] == u'{' ? FromJsonLines(text, folder) : FromCsv(text, folder);
  if (!table.error.empty()) return table;

  std::map<std::u16string, std::size_t> lines;
  for (const TableRow& row : table.rows) {
    const auto [known, added] = lines.emplace(PathIdentity(row.file), row.line);
    if (!added) {
      return Unusable("line " + std::to_string(row.line) + ": " + Quoted(row.file) + " is named twice (also on line " +
                      std::to_string(known->second) + ")");
    }
  }
  return table;
}

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"/\\");
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

std::u16string TakeAgainst(std::u16string_view folder, std::u16string_view path) {
  const bool absolute = (!path.empty() && (path[0] == u'/' || path[0] == u'\\')) ||
                        (path.size() >= 2 && path[1] == u':');
  if (absolute) return std::u16string(path);
  return std::u16string(folder) + std::u16string(path);
}

std::u16string PathIdentity(std::u16string_view path) {
  std::u16string prefix;
  if (path.size() >= 2 && path[1] == u':') {
    prefix = cals::ToLower(path.substr(0, 2));
    path.remove_prefix(2);
  }
  if (!path.empty() && (path[0] == u'/' || path[0] == u'\\')) prefix += u'/';
  std::vector<std::u16string> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find_first_of(u"/\\");
    const std::u16string part = cals::ToLower(path.substr(0, slash));
    path.remove_prefix(slash == std::u16string_view::npos ? path.size() : slash + 1);
    if (part.empty() || part == u".") continue;
    if (part == u".." && !parts.empty() && parts.back() != u"..") {
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::u16string identity = prefix;
  for (std::size_t i = 0; i < parts.size(); ++i) identity += (i > 0 ? u"/" : u"") + parts[i];
  return identity;
}

}  // namespace calsvar
