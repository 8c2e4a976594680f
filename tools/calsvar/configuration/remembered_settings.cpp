#include "tools/calsvar/configuration/remembered_settings.h"

namespace calsvar {

std::u16string RememberedInstallation::SharedFolder() {
  if (folder_.empty()) folder_ = source_.SharedFolder();
  return folder_;
}

}  // namespace calsvar
