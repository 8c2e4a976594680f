#include "tools/calsvar/files/extension_filter.h"

#include <algorithm>

#include "cals/text_rules.h"

namespace calsvar {

ExtensionFilter::ExtensionFilter(std::u16string_view commaList) {
  while (!commaList.empty()) {
    const std::size_t comma = commaList.find(u',');
    const std::u16string_view entry = cals::Trim(commaList.substr(0, comma));
    if (!entry.empty()) extensions_.push_back(cals::ToLower(entry));
    commaList.remove_prefix(comma == std::u16string_view::npos ? commaList.size() : comma + 1);
  }
}

bool ExtensionFilter::Matches(std::u16string_view path) const {
  const std::size_t slash = path.find_last_of(u"/\\");
  const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return false;
  const std::u16string extension = cals::ToLower(name.substr(dot + 1));
  return std::find(extensions_.begin(), extensions_.end(), extension) != extensions_.end();
}

}  // namespace calsvar
