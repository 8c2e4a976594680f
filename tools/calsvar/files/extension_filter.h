// Which files of a folder are CALS files: those whose extension is one of
// the format's extensions, compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

// The format's extensions, as the plug-in describes them.
inline constexpr char16_t kFormatExtensions[] = u"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";

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
