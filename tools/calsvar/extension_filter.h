// Which files of a folder are CALS files: those whose extension is one of
// the format's extensions, compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

class ExtensionFilter {
 public:
  // A comma-separated list without dots, e.g. "cal,ct1".
  explicit ExtensionFilter(std::u16string_view commaList);

  // True when the file name (the part after the last / or \) ends in "."
  // and one of the extensions.
  bool Matches(std::u16string_view path) const;

 private:
  std::vector<std::u16string> extensions_;  // lower-case
};

}  // namespace calsvar
