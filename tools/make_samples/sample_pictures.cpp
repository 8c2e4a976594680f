#include "tools/make_samples/sample_pictures.h"

#include <cmath>
#include <numbers>

#include "tools/make_samples/drawing.h"

namespace samples {
namespace {

// Short bars standing in for the lettering of a title block field.
void Lettering(Bitmap& picture, int left, int top, int count) {
  for (int i = 0; i < count; ++i) {
    const int x = left + i * 22;
    FillRect(picture, x, top, x + 14, top + 3);
    FillRect(picture, x, top, x + 3, top + 24);
    if (i % 3 != 0) FillRect(picture, x, top + 21, x + 14, top + 24);
  }
}

void TitleBlock(Bitmap& picture, int left, int top, int right, int bottom) {
  FrameRect(picture, left, top, right, bottom, 4);
  const int rows = 4;
  const int rowHeight = (bottom - top) / rows;
  for (int r = 1; r < rows; ++r) FillRect(picture, left, top + r * rowHeight, right, top + r * rowHeight + 1);
  const int split = left + (right - left) / 3;
  FillRect(picture, split, top, split + 1, bottom);
  for (int r = 0; r < rows; ++r) {
    Lettering(picture, left + 16, top + r * rowHeight + 14, 5);
    Lettering(picture, split + 16, top + r * rowHeight + 14, 9 + r);
  }
}

void Flange(Bitmap& picture, int cx, int cy) {
  Circle(picture, cx, cy, 320, 5);
  Circle(picture, cx, cy, 130, 5);
  for (int hole = 0; hole < 6; ++hole) {
    const double angle = hole * std::numbers::pi / 3.0;
    const int hx = cx + static_cast<int>(std::lround(230 * std::cos(angle)));
    const int hy = cy + static_cast<int>(std::lround(230 * std::sin(angle)));
    Circle(picture, hx, hy, 32, 3);
  }
  Circle(picture, cx, cy, 230, 1);
  Line(picture, cx - 380, cy, cx + 380, cy, 1, 18);
  Line(picture, cx, cy - 380, cx, cy + 380, 1, 18);
}

void SideView(Bitmap& picture, int cx, int top) {
  FrameRect(picture, cx - 320, top, cx + 320, top + 90, 5);
  FrameRect(picture, cx - 130, top - 60, cx + 130, top + 150, 5);
  Line(picture, cx, top - 100, cx, top + 190, 1, 18);
  // Dimension line for the outer diameter, with arrow heads.
  const int y = top + 220;
  Line(picture, cx - 320, y, cx + 320, y, 2);
  Line(picture, cx - 320, y, cx - 295, y - 10, 2);
  Line(picture, cx - 320, y, cx - 295, y + 10, 2);
  Line(picture, cx + 320, y, cx + 295, y - 10, 2);
  Line(picture, cx + 320, y, cx + 295, y + 10, 2);
  Lettering(picture, cx - 40, y - 40, 3);
}

}  // namespace

Bitmap A4Drawing() {
  Bitmap sheet(1654, 2339);
  FrameRect(sheet, 79, 79, 1654 - 80, 2339 - 80, 6);
  TitleBlock(sheet, 820, 1960, 1654 - 86, 2339 - 86);
  Flange(sheet, 827, 760);
  SideView(sheet, 827, 1450);
  return sheet;
}

Bitmap SmallScan(int width, int height) {
  Bitmap scan(width, height);
  FrameRect(scan, 40, 40, width - 41, height - 41, 3);
  Line(scan, 120, height - 160, width - 200, 140, 4);
  Circle(scan, width / 2, height / 2, height / 5, 4);
  FillRect(scan, width - 260, height - 140, width - 90, height - 90);
  Lettering(scan, 80, 70, 12);
  return scan;
}

}  // namespace samples
