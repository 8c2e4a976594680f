// The Win32 registry behind the registrar's script runner.
#pragma once

#include "com/registrar/registry_access.h"

class Win32Registry : public registrar::RegistryRoots {
 public:
  registrar::Status OpenRoot(registrar::RootKey root, std::unique_ptr<registrar::RegistryKey>* out) override;
};
