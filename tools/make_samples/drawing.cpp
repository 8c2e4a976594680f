#include "tools/make_samples/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace samples {
namespace {

void Dot(Bitmap& picture, int x, int y, int pen) {
  const int half = pen / 2;
  FillRect(picture, x - half, y - half, x - half + pen - 1, y - half + pen - 1);
}

}  // namespace

void FillRect(Bitmap& picture, int left, int top, int right, int bottom) {
  for (int y = std::max(top, 0); y <= std::min(bottom, picture.height() - 1); ++y) {
    for (int x = std::max(left, 0); x <= std::min(right, picture.width() - 1); ++x) picture.Set(x, y);
  }
}

void FrameRect(Bitmap& picture, int left, int top, int right, int bottom, int pen) {
  FillRect(picture, left, top, right, top + pen - 1);
  FillRect(picture, left, bottom - pen + 1, right, bottom);
  FillRect(picture, left, top, left + pen - 1, bottom);
  FillRect(picture, right - pen + 1, top, right, bottom);
}

void Line(Bitmap& picture, int x0, int y0, int x1, int y1, int pen, int dash) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (int step = 0;; ++step) {
    if (dash <= 0 || (step / dash) % 2 == 0) Dot(picture, x0, y0, pen);
    if (x0 == x1 && y0 == y1) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void Circle(Bitmap& picture, int cx, int cy, int radius, int pen) {
  const double inner = radius - pen / 2.0;
  const double outer = radius + pen / 2.0;
  for (int y = cy - radius - pen; y <= cy + radius + pen; ++y) {
    for (int x = cx - radius - pen; x <= cx + radius + pen; ++x) {
      const double distance = std::hypot(x - cx, y - cy);
      if (distance >= inner && distance < outer) picture.Set(x, y);
    }
  }
}

}  // namespace samples
