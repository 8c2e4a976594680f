// An owning registry key handle: closed on destruction.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

struct RegistryKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};

using UniqueHkey = UniqueHandle<HKEY, RegistryKeyCloser>;
