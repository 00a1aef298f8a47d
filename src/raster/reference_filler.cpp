#include "raster/reference_filler.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelt {

namespace {

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double distanceToSegment(double px, double py, const ReferenceCorner& a, const ReferenceCorner& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double lengthSquared = dx * dx + dy * dy;
  double t = lengthSquared > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / lengthSquared : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

double signedArea(const std::vector<ReferenceCorner>& corners) {
  double area = 0;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const ReferenceCorner& a = corners[i];
    const ReferenceCorner& b = corners[(i + 1) % corners.size()];
    area += cross(a.x, a.y, b.x, b.y);
  }
  return area / 2;
}

// Convex polygons only: inside when the point is on the inner side of every edge.
double signedDistance(double px, double py, const std::vector<ReferenceCorner>& corners,
                      double area) {
  double nearest = std::numeric_limits<double>::infinity();
  bool inside = area != 0;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const ReferenceCorner& a = corners[i];
    const ReferenceCorner& b = corners[(i + 1) % corners.size()];
    nearest = std::min(nearest, distanceToSegment(px, py, a, b));
    if (cross(b.x - a.x, b.y - a.y, px - a.x, py - a.y) * area < 0) inside = false;
  }
  return inside ? -nearest : nearest;
}

}  // namespace

std::vector<ReferencePixel> referenceFill(int width, int height,
                                          const std::vector<ReferenceCorner>& corners,
                                          double margin) {
  std::vector<ReferencePixel> pixels;
  if (corners.empty()) return pixels;
  const double area = signedArea(corners);

  // Attribute plane through the first three corners, by barycentric weights.
  const ReferenceCorner& c0 = corners[0];
  const ReferenceCorner& c1 = corners[std::min<std::size_t>(1, corners.size() - 1)];
  const ReferenceCorner& c2 = corners[std::min<std::size_t>(2, corners.size() - 1)];
  const double planeArea = cross(c1.x - c0.x, c1.y - c0.y, c2.x - c0.x, c2.y - c0.y);

  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double d = signedDistance(x, y, corners, area);
      if (d > margin) continue;
      ReferencePixel p{x, y, d, {}};
      if (planeArea != 0) {
        const double w1 = cross(x - c0.x, y - c0.y, c2.x - c0.x, c2.y - c0.y) / planeArea;
        const double w2 = cross(c1.x - c0.x, c1.y - c0.y, x - c0.x, y - c0.y) / planeArea;
        for (int k = 0; k < kMaxAttributes; ++k) {
          p.attr[k] = c0.attr[k] + w1 * (c1.attr[k] - c0.attr[k]) + w2 * (c2.attr[k] - c0.attr[k]);
        }
      } else {
        p.attr = c0.attr;
      }
      pixels.push_back(p);
    }
  }
  return pixels;
}

}  // namespace pelt
