#pragma once
// Clipping helpers that need no buffer: the near plane for 3D lines and the
// even-odd point test for lasso polygons.

#include <span>

namespace pelt {

struct Point2f {
  float x = 0;
  float y = 0;
};

struct Point3f {
  float x = 0;
  float y = 0;
  float z = 0;
};

inline constexpr float kNearZ = 0.1f;

// Keeps the part of a b with z >= kNearZ, moving the near end onto the plane.
// False when both ends lie nearer (nothing to draw); the points are then left alone.
bool clipNearZ(Point3f& a, Point3f& b);

// Even-odd test; fewer than three points contain nothing.
bool pointInPolygon(float px, float py, std::span<const Point2f> points);

}  // namespace pelt
