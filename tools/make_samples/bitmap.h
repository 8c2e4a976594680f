// A bilevel picture, one byte per pixel (0 white, 1 black), rows top down.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace samples {

class Bitmap {
 public:
  Bitmap(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

  int width() const { return width_; }
  int height() const { return height_; }

  std::span<const std::uint8_t> Row(int y) const {
    return {pixels_.data() + Offset(0, y), static_cast<std::size_t>(width_)};
  }
  // Pixels outside the picture are ignored, so shapes may cross its edges.
  void Set(int x, int y) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Offset(x, y)] = 1;
  }

 private:
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace samples
