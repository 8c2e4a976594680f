#include "tools/calsvar/tables/csv_export.h"

#include <algorithm>

#include "tools/calsvar/tables/csv_table.h"

namespace calsvar {

void CsvExport::Add(std::u16string file, const std::vector<std::pair<std::u16string, std::u16string>>& values) {
  std::map<std::u16string, std::u16string> row;
  for (const auto& [name, value] : values) {
    if (std::find(columns_.begin(), columns_.end(), name) == columns_.end()) columns_.push_back(name);
    row.emplace(name, value);
  }
  rows_.emplace_back(std::move(file), std::move(row));
}

std::string CsvExport::Text(const std::vector<std::u16string>& askedNames, char16_t separator) const {
  const std::vector<std::u16string>& columns = askedNames.empty() ? columns_ : askedNames;
  std::vector<std::u16string> head{u"file"};
  head.insert(head.end(), columns.begin(), columns.end());
  std::string text = CsvRow(head, separator);
  for (const auto& [file, values] : rows_) {
    std::vector<std::u16string> cells{file};
    for (const std::u16string& column : columns) {
      const auto found = values.find(column);
      cells.push_back(found == values.end() ? std::u16string() : found->second);
    }
    text += CsvRow(cells, separator);
  }
  return text;
}

}  // namespace calsvar
