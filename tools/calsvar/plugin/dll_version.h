// The version a DLL's version resource gives, written as the project
// writes its version: "1.0.0", with a fourth part only when it is not 0.
#pragma once

#include <optional>
#include <string>

namespace calsvar {

// Empty with `error` (UTF-8, for a person) set when the file has no
// readable version resource.
std::optional<std::string> DllFileVersion(const std::wstring& path, std::string& error);

}  // namespace calsvar
