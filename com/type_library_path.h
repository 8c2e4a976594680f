// The path of the stand-alone type library that goes with a module: the
// module's path with ".tlb" in place of the file name's extension.
#pragma once

#include <string>
#include <string_view>

// The extension is what follows the last point after the last backslash;
// a file name without one gets ".tlb" appended.
inline std::wstring TypeLibraryPathFor(std::wstring_view modulePath) {
  const std::size_t nameStart = [&] {
    const std::size_t slash = modulePath.rfind(L'\\');
    return slash == std::wstring_view::npos ? 0 : slash + 1;
  }();
  const std::size_t dot = modulePath.rfind(L'.');
  const std::size_t stem = (dot == std::wstring_view::npos || dot < nameStart) ? modulePath.size() : dot;
  std::wstring result(modulePath.substr(0, stem));
  result += L".tlb";
  return result;
}
