// An owning handle of an open file, closed when the object goes.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

namespace cals {

// CreateFileW fails with INVALID_HANDLE_VALUE, which is not closed.
struct FileCloser {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

using UniqueFile = UniqueHandle<HANDLE, FileCloser>;

}  // namespace cals
