// The one-time tip of the day, offered through the host's tip-text and
// tip-dialog components and remembered per user in the registry.
#pragma once

#include <windows.h>

// Shows tip `tipNumber` in a dialog owned by `ownerValue` unless the user
// asked not to see it again. Reports nothing: a tip that cannot be shown
// is simply offered again at the next occasion.
void ShowTipOnce(LONG ownerValue, LONG tipNumber) noexcept;
