#include "tools/calsvar/configuration/configuration_note.h"

#include <windows.h>

#include <string>

#include "cals/text_rules.h"
#include "tools/calsvar/configuration/installed_config.h"
#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {

void NoteMissingConfiguration(Console& console) {
  const std::wstring path = InstalledConfigPath();
  // No shared folder at all: every load fails and says so itself.
  if (path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  std::string note = "calsvar: note: the tag configuration " + ShownPath(path) +
                     " does not exist, so every record is an ordinary writable variable without sub-tags";
  constexpr std::wstring_view kInFolder = L"FileFormats\\Mirotex.ini";
  constexpr std::u16string_view kFormatsFolder = u"fileformats\\";
  const std::wstring folder = path.size() >= kInFolder.size() ? path.substr(0, path.size() - kInFolder.size()) : L"";
  const std::u16string lower = cals::ToLower(ToUtf16(folder));
  if (lower.size() >= kFormatsFolder.size() &&
      lower.compare(lower.size() - kFormatsFolder.size(), kFormatsFolder.size(), kFormatsFolder) == 0) {
    note += "; the shared folder " + ShownPath(folder) +
            " looks like the FileFormats folder itself: name the folder that holds FileFormats";
  }
  console.Err(note);
}

}  // namespace calsvar
