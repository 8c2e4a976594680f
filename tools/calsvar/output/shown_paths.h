// Paths and commands in messages, in the form the person uses: under
// ./calsvar (CALSVAR_SEPARATOR=/) a path that calsvar itself found, such
// as the installed configuration or the DLL beside it, is shown as a Unix
// path; advice names the options the run was given.
#pragma once

#include <string>
#include <string_view>

namespace calsvar {

// UTF-8. "Z:\\tmp\\x.ini" becomes "/tmp/x.ini" under ./calsvar; other
// paths keep their form.
std::string ShownPath(std::wstring_view path);
// The same in UTF-16, every character kept.
std::wstring ShownPathWide(std::wstring_view path);

// "calsvar ARGUMENTS" as it must be typed to act on the same installation
// as this run: with --shared-folder DIR when ./calsvar was given one
// (it passes it on in CALSVAR_SHARED_FOLDER_OPTION).
std::string CalsvarCommand(std::string_view arguments);

}  // namespace calsvar
