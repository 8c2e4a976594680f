// Which variables a CALS file exposes: what the COM surface cannot list.
// The header and the installed tag configuration are read by the plug-in's
// own portable core, the same way the plug-in reads them.
#pragma once

#include <string>
#include <vector>

#include "cals/header_platform.h"
#include "cals/status.h"

namespace calsvar {

// Said of a name that is no variable of the file.
inline constexpr char kNoSuchVariable[] = "the file has no such record and the tag configuration no such sub-tag";

// The record names in file order, then width, height and colordepth when
// present, then the sub-tags of the configuration; each name once. Empty
// with a failed status when the file cannot be loaded. The file is read
// through `platform`: the plug-in's own, or one that finds the installation
// folder once per run (remembered_settings.h).
std::vector<std::u16string> ExposedVariableNames(const cals::HeaderPlatform& platform, const std::wstring& path,
                                                 cals::Status& status);

}  // namespace calsvar
