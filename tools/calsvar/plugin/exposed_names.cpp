#include "tools/calsvar/plugin/exposed_names.h"

#include <algorithm>

#include "cals/cals_header.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

void AddOnce(std::vector<std::u16string>& names, const std::u16string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

std::vector<std::u16string> ExposedVariableNames(const cals::HeaderPlatform& platform, const std::wstring& path,
                                                 cals::Status& status) {
  cals::CalsHeader header(platform);
  status = header.LoadHeader(ToUtf16(path));
  if (!cals::Succeeded(status)) return {};
  const auto& tags = header.tagFinder.tags();
  std::vector<std::u16string> names;
  for (const cals::Tag& tag : tags) {
    if (tag.writeBack) AddOnce(names, tag.name);
  }
  for (const cals::Tag& tag : tags) {
    if (!tag.writeBack) AddOnce(names, tag.name);
  }
  for (const cals::Tag& tag : tags) {
    for (const cals::SubTag& sub : tag.subTags) AddOnce(names, sub.name);
  }
  return names;
}

}  // namespace calsvar
