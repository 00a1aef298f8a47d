#include "skins/skin.h"

#include <algorithm>
#include <cstring>

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
  if (skin.width <= 0 || skin.height <= 0) return;
  // Rows repeat every eight lines in two patterns; copying whole rows keeps
  // stand-ins for large skins cheap.
  const auto width = static_cast<size_t>(skin.width);
  for (int y = 0; y < skin.height; ++y) {
    std::uint8_t* row = skin.pixels.data() + static_cast<size_t>(y) * width;
    if (y >= 8) {
      std::memcpy(row, row - 8 * width, width);
      continue;
    }
    for (size_t x = 0; x < width; ++x)
      row[x] = ((x & 4) == (static_cast<size_t>(y) & 4)) ? same : other;
  }
}

std::uint8_t nearestGrey(const Palette& palette, int level) {
  auto isGrey = [&](size_t i) {
    return palette[i * 3] == palette[i * 3 + 1] && palette[i * 3 + 1] == palette[i * 3 + 2];
  };
  int greys = 0;
  for (size_t i = 0; i < 256; ++i) greys += isGrey(i) ? 1 : 0;
  size_t best = 0;
  int bestDistance = -1;
  for (size_t i = 0; i < 256; ++i) {
    if (greys >= 2 && !isGrey(i)) continue;
    int distance = 0;
    for (size_t c = 0; c < 3; ++c)
      distance += (palette[i * 3 + c] - level) * (palette[i * 3 + c] - level);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

std::int64_t skinMemoryBytes(int width, int height) {
  const std::int64_t w = std::max(width, 0), h = std::max(height, 0);
  return static_cast<std::int64_t>(sizeof(Skin)) + 2 * w * h + h * 4 + kSkinTextBytes;
}

}  // namespace pelt
