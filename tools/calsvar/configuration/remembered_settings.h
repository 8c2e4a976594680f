// The installation folder as calsvar asks it when it lists a file's
// variable names: found once per run and kept. The plug-in reads
// "SharedLocation" at every load, since the host may change it while it
// runs; calsvar's listing needs only the configuration file's path, and
// reading the registry for every file would cost the listing more than the
// rest of its work. A folder changed while calsvar works through a folder
// is seen by the plug-in's values at once and by the listed names in the
// next run.
#pragma once

#include <string>

#include "cals/installation.h"

namespace calsvar {

// Keeps the first folder found; an unknown folder is asked for again.
class RememberedInstallation final : public cals::InstallationLocator {
 public:
  explicit RememberedInstallation(cals::InstallationLocator& source) : source_(source) {}
  std::u16string SharedFolder() override;

 private:
  cals::InstallationLocator& source_;
  std::u16string folder_;
};

}  // namespace calsvar
