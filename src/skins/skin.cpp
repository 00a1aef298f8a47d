#include "skins/skin.h"

#include <algorithm>

namespace pelt {

void PixelRect::add(int x, int y) {
  if (empty()) {
    *this = {x, y, x, y};
    return;
  }
  x0 = std::min(x0, x);
  y0 = std::min(y0, y);
  x1 = std::max(x1, x);
  y1 = std::max(y1, y);
}

void PixelRect::add(const PixelRect& other) {
  if (other.empty()) return;
  add(other.x0, other.y0);
  add(other.x1, other.y1);
}

void allocateSkin(Skin& skin, int width, int height) {
  skin.width = width;
  skin.height = height;
  size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  skin.pixels.assign(count, 0);
  skin.storedPixels.assign(count, 0);
  buildRowOffsets(&skin);
}

void buildRowOffsets(Skin* skin) {
  if (!skin) return;
  skin->rowOffsets.resize(static_cast<size_t>(skin->height > 0 ? skin->height : 0));
  for (int y = 0; y < skin->height; ++y) skin->rowOffsets[static_cast<size_t>(y)] = y * skin->width;
}

Palette greyRampPalette() {
  Palette palette{};
  for (int i = 0; i < 256; ++i) {
    palette[static_cast<size_t>(i) * 3 + 0] = static_cast<std::uint8_t>(i);
    palette[static_cast<size_t>(i) * 3 + 1] = static_cast<std::uint8_t>(i);
    palette[static_cast<size_t>(i) * 3 + 2] = static_cast<std::uint8_t>(i);
  }
  return palette;
}

void fillCheckerboard(Skin& skin, std::uint8_t same, std::uint8_t other) {
  for (int y = 0; y < skin.height; ++y)
    for (int x = 0; x < skin.width; ++x)
      skin.pixels[static_cast<size_t>(y) * skin.width + x] = ((x & 4) == (y & 4)) ? same : other;
}

}  // namespace pelt
