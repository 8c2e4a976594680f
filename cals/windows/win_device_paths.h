// Paths that name a device instead of a file on disk, told from their text
// alone, before anything is opened: opening a device can block for good
// (a serial port), and reading one gives no header (the null device).
#pragma once

#include <string_view>

namespace cals {

// True for device-namespace paths ("\\.\..." in every form, and "\\?\..."
// or "\??\..." unless a drive or "UNC\" follows), and for paths whose last
// part is a reserved DOS device name as Windows reads it: CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9 (also with the digits ¹ ² ³), CONIN$ and
// CONOUT$, in any case, with or without an extension, with trailing blanks
// or dots.
bool NamesDevice(std::wstring_view path);

}  // namespace cals
