#include "tools/calsvar/output/shown_paths.h"

#include <windows.h>

#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

std::wstring Environment(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);
  }
}

// For a shell: in double quotes when it holds anything but plain path
// characters.
std::string ForShell(const std::string& word) {
  for (char c : word) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ':' || c == ',';
    if (plain) continue;
    std::string quoted = "\"";
    for (char q : word) {
      if (q == '"' || q == '\\' || q == '$' || q == '`') quoted += '\\';
      quoted += q;
    }
    return quoted + "\"";
  }
  return word;
}

}  // namespace

std::string ShownPath(std::wstring_view path) { return Utf8(ShownPathWide(path)); }

std::wstring ShownPathWide(std::wstring_view path) {
  std::wstring shown(path);
  if (Environment(L"CALSVAR_SEPARATOR") != L"/") return shown;
  if (shown.size() >= 3 && (shown[0] == L'Z' || shown[0] == L'z') && shown[1] == L':' && shown[2] == L'\\') {
    shown.erase(0, 2);
  }
  for (wchar_t& c : shown) {
    if (c == L'\\') c = L'/';
  }
  return shown;
}

std::string CalsvarCommand(std::string_view arguments) {
  const std::wstring folder = Environment(L"CALSVAR_SHARED_FOLDER_OPTION");
  std::string command = "calsvar ";
  if (!folder.empty()) command += "--shared-folder " + ForShell(Utf8(folder)) + " ";
  return command + std::string(arguments);
}

}  // namespace calsvar
