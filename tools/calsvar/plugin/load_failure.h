// Why the plug-in could not open a file, in words that point at the fix.
#pragma once

#include <windows.h>

#include <string>

namespace calsvar {

// "FILE: cannot be loaded (0x80004005: ...): <what to do>". For E_FAIL it
// tells a missing "SharedLocation" from a configuration that refuses one
// of the file's records, and names that record, line and reason.
std::string ExplainLoadFailure(const std::wstring& path, HRESULT hr);

// The same without the path in front: "cannot be loaded (...): ...".
std::string ExplainLoadFailureReason(const std::wstring& path, HRESULT hr);

}  // namespace calsvar
