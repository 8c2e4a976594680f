// The header platform of the host's process: registry, private-profile
// functions, ANSI code pages and share-deny-write file access.
#pragma once

#include "cals/header_platform.h"

namespace cals {

// One instance for the whole process; it keeps the tag configuration's
// answers while the file stays unchanged, and the host's product key open
// between loads.
const HeaderPlatform& WindowsHeaderPlatform();

// Closes the product key that loads keep open; a later load opens it
// again. For the DLL's unloading, when no load can run any more.
void CloseKeptProductKey();

}  // namespace cals
