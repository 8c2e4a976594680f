// Which of the host's variables belong to this plug-in.
#pragma once

#include <windows.h>
#include <oleauto.h>

// True when `sourceName` is "CALS" by the system's locale-aware comparison
// without regard to case. A null BSTR is the empty text, which never matches;
// nothing is trimmed, so "CALS " does not match either.
bool IsCalsSource(BSTR sourceName) noexcept;
