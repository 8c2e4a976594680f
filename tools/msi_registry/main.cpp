// msi_registry: the installer package's registry entries, from the same
// sources as the DLL's own registration, so that the two cannot drift:
// the registry scripts of the classes, read by the DLL's parser, and the
// IDL file, for what the platform writes for the proxy/stub and the type
// library.
//
//   msi_registry --module TEXT --module-folder TEXT --idl FILE --out FILE SCRIPT...
//     --module TEXT          formatted text for the module's path, e.g. [#mirotex.dll]
//     --module-folder TEXT   formatted text for its folder, e.g. [INSTALLFOLDER]
//     --idl FILE             the module's IDL file
//     --out FILE             the WiX include to write
//     SCRIPT...              the module's .rgs files
// Exit 0 when written; 1, with the file and the reason on stderr, when not.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/msi_registry/idl_entries.h"
#include "tools/msi_registry/script_entries.h"
#include "tools/msi_registry/wix_include.h"

namespace {

constexpr char kUsage[] =
    "usage: msi_registry --module TEXT --module-folder TEXT --idl FILE --out FILE SCRIPT...\n";

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int Fail(const std::string& file, const std::string& reason) {
  std::cerr << "msi_registry: " << file << ": " << reason << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string module, folder, idl, out;
  std::vector<std::string> scripts;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string* option = arg == "--module"          ? &module
                          : arg == "--module-folder" ? &folder
                          : arg == "--idl"           ? &idl
                          : arg == "--out"           ? &out
                                                     : nullptr;
    if (option != nullptr && i + 1 < argc) {
      *option = argv[++i];
    } else if (option == nullptr && !arg.starts_with("--")) {
      scripts.push_back(arg);
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (module.empty() || folder.empty() || idl.empty() || out.empty() || scripts.empty()) {
    std::cerr << kUsage;
    return 2;
  }

  msi_registry::RegistryEntries entries;
  std::string text, error;
  for (const std::string& script : scripts) {
    if (!ReadFile(script, &text)) return Fail(script, "cannot be read");
    if (!msi_registry::AppendScriptEntries(text, &entries, &error)) return Fail(script, error);
  }
  if (!ReadFile(idl, &text)) return Fail(idl, "cannot be read");
  if (!msi_registry::AppendIdlEntries(text, &entries, &error)) return Fail(idl, error);
  if (!msi_registry::MergeRepeats(&entries, &error)) return Fail(out, error);
  for (const msi_registry::RegistryEntry& entry : entries) {
    // Windows Installer reads an empty text as "create the key" only.
    if (entry.text.empty()) return Fail(out, entry.root + "\\" + entry.key + " has an empty value");
  }

  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  file << msi_registry::WixInclude(entries, module, folder);
  file.close();
  if (!file) return Fail(out, "cannot be written");
  return 0;
}
