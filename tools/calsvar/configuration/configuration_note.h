// Said once per run before get and set work on files: that the installed
// tag configuration is missing, and so every record is a plain writable
// variable. Not an error to the plug-in, but rarely what anyone meant.
#pragma once

#include "tools/calsvar/output/console.h"

namespace calsvar {

void NoteMissingConfiguration(Console& console);

}  // namespace calsvar
