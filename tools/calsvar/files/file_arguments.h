// FILE operands: a file stands for itself (also when it does not exist:
// opening it then says why), a folder for its CALS files, recursively, in
// name order. Paths keep the separator style the person typed.
#pragma once

#include <string>
#include <vector>

#include "tools/calsvar/files/extension_filter.h"

namespace calsvar {

struct FileArguments {
  std::vector<std::wstring> files;
  bool namedFolder = false;  // a folder was given: show each file's name
};

FileArguments ExpandFileArguments(const std::vector<std::u16string>& operands, const ExtensionFilter& filter);

}  // namespace calsvar
