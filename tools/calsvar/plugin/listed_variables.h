// The variables of one file as calsvar get shows them when no names are
// asked for: the names listed by calsvar's own core from the header bytes
// it read (the plug-in's objects cannot list them), the values read through
// the plug-in, as the host reads them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "cals/header_platform.h"
#include "host_interfaces_h.h"
#include "tools/calsvar/plugin/opened_file.h"

namespace calsvar {

// `header`: the file's first bytes as calsvar read them (fewer than a
// header: the names are listed from the file itself). `listing`: calsvar's
// own platform for the listing (its files are replaced by the bytes).
// S_OK with the values, else the failure of the load or of the read.
HRESULT ReadListedVariables(IOrvFileFormat* format, const cals::HeaderPlatform& listing, const std::wstring& path,
                            const std::vector<unsigned char>& header, std::vector<VariableValue>& values);

}  // namespace calsvar
