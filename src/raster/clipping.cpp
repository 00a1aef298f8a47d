#include "raster/clipping.h"

#include <utility>

namespace pelt {

bool clipNearZ(Point3f& a, Point3f& b) {
  Point3f* farEnd = &a;
  Point3f* nearEnd = &b;
  if (b.z > a.z) std::swap(farEnd, nearEnd);
  if (farEnd->z < kNearZ) return false;
  if (nearEnd->z < kNearZ) {
    const float kept = farEnd->z - kNearZ;
    const float span = farEnd->z - nearEnd->z;
    nearEnd->x = farEnd->x - (farEnd->x - nearEnd->x) * kept / span;
    nearEnd->y = farEnd->y - (farEnd->y - nearEnd->y) * kept / span;
    nearEnd->z = kNearZ;
  }
  return true;
}

bool pointInPolygon(float px, float py, std::span<const Point2f> points) {
  if (points.size() < 3) return false;
  bool inside = false;
  Point2f previous = points.back();
  for (const Point2f& current : points) {
    Point2f p1 = current;
    Point2f p2 = previous;
    if (p2.x < p1.x) std::swap(p1, p2);
    if (p1.x < px && px <= p2.x && (py - p1.y) * (p2.x - p1.x) < (px - p1.x) * (p2.y - p1.y)) {
      inside = !inside;
    }
    previous = current;
  }
  return inside;
}

}  // namespace pelt
