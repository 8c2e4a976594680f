// The installed tag configuration: where the plug-in looks for it (the
// registry value "SharedLocation" of the host's product key) and its text.
#pragma once

#include <optional>
#include <string>

#include "tools/calsvar/configuration/profile_document.h"

namespace calsvar {

// Where the plug-in finds the shared folder, in words for messages.
std::string SharedLocationHelp();

// "<shared folder>FileFormats\Mirotex.ini", or empty text when the shared
// folder is not set.
std::wstring InstalledConfigPath();

// The file read as the private-profile functions read it. Empty with
// `error` set (UTF-8, naming the file) when it cannot be read; `missing`
// tells a file that does not exist from one that cannot be read.
std::optional<ProfileDocument> ReadProfileFile(const std::wstring& path, std::string& error, bool& missing);

}  // namespace calsvar
