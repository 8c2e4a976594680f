// The header platform of the host's process: registry, private-profile
// functions, ANSI code pages and share-deny-write file access.
#pragma once

#include "cals/header_platform.h"

namespace cals {

// One instance for the whole process; it keeps the tag configuration's
// answers while the file stays unchanged.
const HeaderPlatform& WindowsHeaderPlatform();

}  // namespace cals
