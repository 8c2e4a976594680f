// Simple pen strokes on a Bitmap, enough to draw sample engineering sheets.
#pragma once

#include "tools/make_samples/bitmap.h"

namespace samples {

void FillRect(Bitmap& picture, int left, int top, int right, int bottom);
// Outline whose lines are `pen` pixels thick, drawn inside the rectangle.
void FrameRect(Bitmap& picture, int left, int top, int right, int bottom, int pen);
// A straight line with a square pen; `dash` > 0 draws dashes and gaps of
// that length.
void Line(Bitmap& picture, int x0, int y0, int x1, int y1, int pen, int dash = 0);
void Circle(Bitmap& picture, int cx, int cy, int radius, int pen);

}  // namespace samples
