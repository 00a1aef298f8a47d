#pragma once
// The pixels a paint stroke touches between two pointer positions. Both
// large views walk their strokes here, so the same pointer moves touch the
// same window pixels in either view.

#include <cstdint>
#include <cstdlib>

#include "raster/rasterizer.h"

namespace pelt {

struct WindowPoint {
  int x = 0;  // client coordinates, y counted from the top
  int y = 0;
  friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

enum class SegmentKind { None, Point, Line };

// Starts at the end nearer the top (the first one on a tie) and steps down
// with only integer additions: the minor axis moves whenever a 16-bit
// fraction wraps. Visits every pixel exactly once.
template <class Visit>
void walkClippedSegment(WindowPoint a, WindowPoint b, Visit&& visit) {
  const WindowPoint s = a.y <= b.y ? a : b;
  const WindowPoint e = a.y <= b.y ? b : a;
  int x = s.x, y = s.y;
  visit(x, y);
  const auto signedDx = static_cast<std::int16_t>(e.x - s.x);
  const int xStep = signedDx < 0 ? -1 : 1;
  const int dx = std::abs(static_cast<int>(signedDx));
  const int dy = static_cast<std::int16_t>(e.y - s.y);
  if (dy == 0 || dx == 0 || dx == dy) {
    const int steps = dy == 0 ? dx : dy;
    const int stepX = dx == 0 ? 0 : xStep;
    const int stepY = dy == 0 ? 0 : 1;
    for (int i = 0; i < steps; ++i) visit(x += stepX, y += stepY);
    return;
  }
  const bool xMajor = dx > dy;
  const auto major = static_cast<std::uint32_t>(xMajor ? dx : dy);
  const auto minor = static_cast<std::uint32_t>(xMajor ? dy : dx);
  const auto adjust = static_cast<std::uint16_t>((minor << 16) / major);
  std::uint16_t fraction = 0;
  for (std::uint32_t i = 1; i < major; ++i) {
    const std::uint16_t old = fraction;
    fraction = static_cast<std::uint16_t>(fraction + adjust);
    const bool wrapped = fraction <= old;
    if (xMajor) {
      x += xStep;
      if (wrapped) ++y;
    } else {
      ++y;
      if (wrapped) x += xStep;
    }
    visit(x, y);
  }
  visit(e.x, e.y);
}

// The segment a b inside a width x height client rectangle: a single point
// when both ends are the same point inside it, nothing when they are the
// same point outside it or the segment misses it, else the clipped line.
// The rasterizer takes the client size for its line clipper.
template <class Visit>
SegmentKind walkSegment(Rasterizer& rasterizer, int width, int height, WindowPoint a, WindowPoint b,
                        Visit&& visit) {
  auto inside = [&](WindowPoint p) { return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height; };
  if (inside(a) && inside(b)) {
    if (a == b) {
      visit(a.x, a.y);
      return SegmentKind::Point;
    }
  } else {
    if (a == b) return SegmentKind::None;
    rasterizer.setSize(width, height);
    ScreenLine line{a.x, a.y, b.x, b.y};
    if (!rasterizer.clipLine(line)) return SegmentKind::None;
    a = {line[0], line[1]};
    b = {line[2], line[3]};
  }
  walkClippedSegment(a, b, visit);
  return SegmentKind::Line;
}

}  // namespace pelt
