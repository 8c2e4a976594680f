// Why a save failed, in plain words. The plug-in's Save answers E_FAIL
// for several reasons, so calsvar looks at the file itself afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace calsvar {

// "the file is read-only; nothing was written" and the like. `loaded` is
// the header as calsvar read it before the plug-in loaded the file.
std::string ExplainSaveFailure(const std::wstring& path, const std::vector<unsigned char>& loaded, HRESULT hr);

}  // namespace calsvar
