// The pictures of the bundled sample files.
#pragma once

#include "tools/make_samples/bitmap.h"

namespace samples {

// An A4 portrait engineering sheet at 200 dpi: frame, title block and a
// flange in two views.
Bitmap A4Drawing();
// A small landscape scan: a part outline with dimension lines.
Bitmap SmallScan(int width, int height);

}  // namespace samples
