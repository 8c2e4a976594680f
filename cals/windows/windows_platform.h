// The header platform of the host's process: registry, private-profile
// functions, ANSI code pages and share-deny-write file access.
#pragma once

#include "cals/header_platform.h"

namespace cals {

// Stateless; one instance for the whole process.
const HeaderPlatform& WindowsHeaderPlatform();

}  // namespace cals
