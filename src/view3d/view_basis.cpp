#include "view3d/view_basis.h"

#include <algorithm>
#include <cmath>

namespace pelt {

namespace {

constexpr double kScreenLimit = 1 << 28;
constexpr double kDepthLimit = 1 << 30;

std::int32_t truncated(double value, double limit = kScreenLimit) {
  if (std::isnan(value)) return 0;  // eye on the target
  return static_cast<std::int32_t>(std::clamp(value, -limit, limit));
}

}  // namespace

ViewBasis computeViewBasis(const std::array<float, 3>& eye, const std::array<float, 3>& target) {
  const double dx = static_cast<double>(target[0]) - eye[0];
  const double dy = static_cast<double>(target[1]) - eye[1];
  const double dz = static_cast<double>(target[2]) - eye[2];
  ViewBasis b;
  b.yaw = std::atan2(dy, dx);
  b.c1 = std::cos(-b.yaw);
  b.s1 = std::sin(-b.yaw);
  b.dist = std::sqrt(dx * dx + dy * dy + dz * dz);
  b.pitch = std::atan2(dz, b.c1 * dx - b.s1 * dy);
  b.c2 = std::cos(-b.pitch);
  b.s2 = std::sin(-b.pitch);
  return b;
}

Point3d toViewSpaceExact(const ViewBasis& b, const std::array<float, 3>& target, const Vec3& v,
                         const Vec3& offset) {
  const double px = static_cast<double>(v.x) - target[0] - offset.x;
  const double py = static_cast<double>(v.y) - target[1] - offset.y;
  const double pz = static_cast<double>(v.z) - target[2] - offset.z;
  const double a = b.c1 * px - b.s1 * py;
  return {b.c1 * py + b.s1 * px, b.s2 * a + b.c2 * pz, b.c2 * a - b.s2 * pz + b.dist};
}

Point3f toViewSpace(const ViewBasis& b, const std::array<float, 3>& target, const Vec3& v,
                    const Vec3& offset) {
  const Point3d p = toViewSpaceExact(b, target, v, offset);
  return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

std::int32_t Projection::x(double X, double Z) const {
  const double f = Z / dist;
  return truncated(centreX - k * X / f);
}

std::int32_t Projection::y(double Y, double Z) const {
  const double f = Z / dist;
  return truncated(centreY + k * Y / f);
}

std::int32_t Projection::depth(double Z) const { return truncated((Z - depthMin) * depthScale, kDepthLimit); }

Projection makeProjection(int width, int height, double fieldOfView, double dist) {
  Projection p;
  const int s = std::min(width, height);
  p.centreX = width / 2;
  p.centreY = height / 2;
  const double halfAngle = fieldOfView * 0.5 * kPi * kOneOver180;
  p.k = s / ((2 * dist * std::sin(halfAngle)) / std::cos(halfAngle));
  p.dist = dist;
  return p;
}

}  // namespace pelt
