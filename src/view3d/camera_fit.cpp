#include "view3d/camera_fit.h"

#include <algorithm>
#include <cmath>

#include "view3d/view_basis.h"

namespace pelt {

namespace {

// Kept free at the view's edges: a few pixels and a share of the view, so
// the frame does not touch them; and the nearest a vertex may come to the
// eye (triangles closer than one unit are not filled).
constexpr double kEdgePixels = 2.0;
constexpr double kEdgeShare = 0.02;
constexpr double kNearest = 2.0;

double tanHalfAngle(float fieldOfView) { return std::tan(fieldOfView * 0.5 * kPi * kOneOver180); }

bool finite(const Vec3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

std::optional<CameraPlacement> frameCamera(const Vec3f& eye, const Vec3f& target, float fieldOfView,
                                           std::span<const Vec3> points, int viewWidth,
                                           int clientWidth, int viewHeight) {
  Vec3 low{HUGE_VALF, HUGE_VALF, HUGE_VALF}, high{-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
  for (const Vec3& p : points) {
    if (!finite(p)) continue;
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  const int side = std::min(viewWidth, viewHeight);
  if (low.x > high.x || side <= 0) return std::nullopt;
  const Vec3f centre{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};

  // The projection's centre is the buffer's; each way out of the shown
  // columns and rows has its own room.
  const double centreX = viewWidth / 2, centreY = viewHeight / 2;
  const double edge = kEdgePixels + kEdgeShare * side;
  const double toLeft = centreX - edge, toRight = clientWidth - 1 - centreX - edge;
  const double down = centreY - edge, up = viewHeight - 1 - centreY - edge;
  if (std::min({toLeft, toRight, down, up}) <= 0) return std::nullopt;
  // A view-space slope X / Z of 1 is this many pixels from the centre.
  const double pixelsPerSlope = side / (2 * tanHalfAngle(fieldOfView));

  // Keep the line of sight; the view basis depends on nothing else.
  Vec3f offset{eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
  double length = std::hypot(static_cast<double>(offset[0]), offset[1], offset[2]);
  if (!(length > 0) || !std::isfinite(length)) {
    offset = {1, 0, 0};
    length = 1;
  }
  const ViewBasis b = computeViewBasis(
      {centre[0] + offset[0], centre[1] + offset[1], centre[2] + offset[2]}, centre);
  // Each vertex asks for a distance: far enough that its X and Y stay in
  // their rooms, and that it stays in front of the near limit.
  double distance = 0;
  for (const Vec3& v : points) {
    if (!finite(v)) continue;
    Point3d p = toViewSpaceExact(b, centre, v);
    const double depth = p.z - b.dist;  // along the line of sight, from the centre
    const double roomX = p.x > 0 ? toLeft : toRight;
    const double roomY = p.y > 0 ? up : down;
    distance = std::max({distance, std::abs(p.x) * pixelsPerSlope / roomX - depth,
                         std::abs(p.y) * pixelsPerSlope / roomY - depth, kNearest - depth});
  }
  CameraPlacement out;
  out.target = centre;
  for (size_t k = 0; k < 3; ++k)
    out.eye[k] = static_cast<float>(centre[k] + offset[k] / length * distance);
  return out;
}

double pixelsPerUnit(const Vec3f& eye, const Vec3f& target, float fieldOfView, int viewWidth,
                     int viewHeight) {
  const double dist =
      std::hypot(static_cast<double>(eye[0]) - target[0], static_cast<double>(eye[1]) - target[1],
                 static_cast<double>(eye[2]) - target[2]);
  const int side = std::min(viewWidth, viewHeight);
  if (!(dist > 0) || side <= 0) return 0;
  return side / (2 * dist * tanHalfAngle(fieldOfView));
}

}  // namespace pelt
