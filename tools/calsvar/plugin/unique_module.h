// An owning handle of a loaded DLL, freed when the object goes.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

namespace calsvar {

struct LibraryFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

using UniqueModule = UniqueHandle<HMODULE, LibraryFreer>;

}  // namespace calsvar
