#include "tools/calsvar/exposed_names.h"

#include <algorithm>

#include "cals/cals_header.h"
#include "cals/text_rules.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/wide_text.h"

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

std::string WhyWriteIsRefused(const std::wstring& path, const std::u16string& name) {
  cals::CalsHeader header(cals::WindowsHeaderPlatform());
  if (!cals::Succeeded(header.LoadHeader(ToUtf16(path)))) return {};
  const std::u16string wanted = cals::ToLower(name);
  // The same search as the plug-in's: a tag's sub-tags before its name,
  // and the name of a tag with sub-tags never matches a write.
  std::string reason = kNoSuchVariable;
  for (const cals::Tag& tag : header.tagFinder.tags()) {
    for (const cals::SubTag& sub : tag.subTags) {
      if (sub.name == wanted) {
        return tag.readOnly ? "it is a sub-tag of the read-only record \"" + Utf8(tag.name) + "\"" : std::string();
      }
    }
    if (tag.name != wanted) continue;
    if (!tag.subTags.empty()) {
      reason = "it has sub-tags and can be written only through them";
      continue;
    }
    if (!tag.writeBack) return "it is derived from rpelcnt and read-only";
    if (tag.readOnly) return "the tag configuration makes it read-only";
    return {};
  }
  return reason;
}

}  // namespace calsvar
