#pragma once
// The 24-bit image a colour box draws into, addressed in window
// coordinates (y from the top) and handed out bottom-up, blue-green-red.

#include <cstdint>
#include <vector>

#include "platform/core_view.h"
#include "platform/platform.h"

namespace pelt {

class BoxImage {
 public:
  // Width rounded up to a multiple of 4; true when the size changed (the
  // pixels are then reallocated and filled with `background`).
  bool resize(int clientWidth, int clientHeight, Rgb8 background);
  int width() const { return width_; }
  int height() const { return height_; }

  // Points outside the image are ignored (read as black).
  void set(int x, int y, Rgb8 colour);
  Rgb8 at(int x, int y) const;
  // Inclusive corners, clipped to the image.
  void fillRect(int left, int top, int right, int bottom, Rgb8 colour);
  // Two rings inside the rectangle: raised (highlight top-left) or sunken.
  void bevel(int left, int top, int right, int bottom, const SystemColors& colors, bool sunken);

  ViewImage image() const;

 private:
  size_t offset(int x, int y) const {
    return (static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(width_) +
            static_cast<size_t>(x)) * 3;
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace pelt
