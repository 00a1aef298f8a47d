#pragma once
// Helpers for laying demo models out on their skins and painting the
// regions procedurally.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/model.h"
#include "skins/skin.h"

namespace pelt {

// A rectangle of a skin: columns x .. x + w - 1, rows y .. y + h - 1.
struct SkinRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int s, int t) const { return s >= x && s < x + w && t >= y && t < y + h; }
};

// The st of fractions (fu, fv) across `rect`, keeping one pixel clear of its
// border so neighbouring regions never bleed in.
inline StCoord stInRect(const SkinRect& rect, double fu, double fv) {
  return {static_cast<std::int16_t>(std::lround(rect.x + 1 + (rect.w - 3) * fu)),
          static_cast<std::int16_t>(std::lround(rect.y + 1 + (rect.h - 3) * fv))};
}

// The st of a point of a disc filling `rect`, seen head-on: (x, y) in -1 .. 1, y up.
inline StCoord stOnDisc(const SkinRect& rect, double x, double y) {
  return {static_cast<std::int16_t>(std::lround(rect.x + rect.w / 2.0 + (rect.w / 2.0 - 2) * x)),
          static_cast<std::int16_t>(std::lround(rect.y + rect.h / 2.0 - (rect.h / 2.0 - 2) * y))};
}

// Repeatable noise in 0 .. 1 for a pixel and a seed.
inline double hashNoise(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                    static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

// Sets every pixel of `rect` (clipped to the skin) to paint(u, v, x, y),
// where u and v run from 0 to 1 across the rectangle.
template <typename Paint>
void paintRect(Skin& skin, const SkinRect& rect, Paint paint) {
  int x0 = std::max(rect.x, 0), y0 = std::max(rect.y, 0);
  int x1 = std::min(rect.x + rect.w, skin.width), y1 = std::min(rect.y + rect.h, skin.height);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      double u = rect.w > 1 ? (x - rect.x) / static_cast<double>(rect.w - 1) : 0.0;
      double v = rect.h > 1 ? (y - rect.y) / static_cast<double>(rect.h - 1) : 0.0;
      skin.pixels[static_cast<std::size_t>(y) * skin.width + x] =
          static_cast<std::uint8_t>(paint(u, v, x, y));
    }
  }
}

}  // namespace pelt
