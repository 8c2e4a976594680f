// What mirotex.dll registers for each of its classes, taken from the DLL's
// own registry scripts (module/*.rgs), which are compiled into calsvar: so
// the installation is held against the very text the DLL runs when it
// registers itself, not against a second copy of it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace calsvar {

struct ExpectedClass {
  std::u16string name;                      // "CalsFormat"
  std::u16string clsid;                     // "{E59C7BCF-...}", as the script writes it
  std::u16string progId;                    // "Mirotex.CalsFormat.1"
  std::u16string versionIndependentProgId;  // "Mirotex.CalsFormat"
  std::u16string threadingModel;            // "Both"
  std::u16string typeLibrary;               // the LIBID the class names
};

// One registry script (8-bit text, as the DLL stores it). Empty when the
// script does not register a class with all of the above.
std::optional<ExpectedClass> ClassOfScript(std::span<const unsigned char> script);

// The classes of the registry scripts compiled into calsvar, in the order
// the DLL registers them.
std::vector<ExpectedClass> ExpectedClasses();

namespace embedded {
// module/*.rgs, written into calsvar at build time (cmake/EmbedFiles.cmake).
extern const std::span<const std::span<const unsigned char>> kRegistryScripts;
}  // namespace embedded

}  // namespace calsvar
