#include "tools/calsvar/remembered_settings.h"

namespace calsvar {

int RememberedTagConfig::ReadInt(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, int defaultValue) {
  IntQuestion question{file, section, key, defaultValue};
  const auto known = ints_.find(question);
  if (known != ints_.end()) return known->second;
  const int answer = source_.ReadInt(file, section, key, defaultValue);
  ints_.emplace(std::move(question), answer);
  return answer;
}

std::u16string RememberedTagConfig::ReadString(const std::u16string& file, const std::u16string& section,
                                               const std::u16string& key, const std::u16string& defaultValue,
                                               std::size_t capacity) {
  StringQuestion question{file, section, key, defaultValue, capacity};
  const auto known = strings_.find(question);
  if (known != strings_.end()) return known->second;
  std::u16string answer = source_.ReadString(file, section, key, defaultValue, capacity);
  strings_.emplace(std::move(question), answer);
  return answer;
}

std::u16string RememberedInstallation::SharedFolder() {
  if (folder_.empty()) folder_ = source_.SharedFolder();
  return folder_;
}

}  // namespace calsvar
