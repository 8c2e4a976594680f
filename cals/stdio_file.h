// One open C library stream as an OpenFile: the stream behind both file
// openers, the share-deny-write one of the host's process and the plain one
// of native builds and tests.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cals/file_access.h"

namespace cals {

// False for a path that is empty or holds a zero character: the C library
// would stop at the zero and open another file than the one named.
bool IsOpenablePath(const std::u16string& path);

// Takes ownership of `stream`; the stream is closed when the object goes
// unless Close came first. Null for a null stream.
std::unique_ptr<OpenFile> AdoptStdioFile(std::FILE* stream);

}  // namespace cals
